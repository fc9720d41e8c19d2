#pragma once
// The work record of one intercepted navigation: its output path, the settings that
// steer conversion and playback, the provider tag, the downloaded page and its parsed
// tree. It belongs to the one worker thread that builds it and is never shared; it
// initialises COM for that thread for its lifetime.

#include "fetch/CoreUi.h"
#include "fetch/PageDocument.h"
#include "fetch/ProviderId.h"

#include <string>
#include <vector>

class NavigationRequest {
public:
    enum class FetchMode { Parse = 0, DownloadOnly = 1 };

    explicit NavigationRequest(CoreUi& ui);
    ~NavigationRequest();
    NavigationRequest(const NavigationRequest&) = delete;
    NavigationRequest& operator=(const NavigationRequest&) = delete;

    // Downloads the address (a leading "#" dropped) under the wait dialog. In Parse mode
    // the page is turned from UTF-8 into the ANSI code page and parsed as the request's
    // provider asks (ProviderId); a request without a provider keeps the bytes unparsed.
    //
    // A page the parser refuses (DocumentParser: nested too deep, too much work) fails
    // the fetch without a word: the caller's conversion fails and says so.
    //
    // Who closes the wait dialog: on failure Fetch has closed it before telling the user
    // why, and the tree is empty or unchanged. On success it stays open while the
    // caller works on the page, and the caller closes it when done (a converter when its
    // page is written or has failed, a resolver as soon as Fetch returns). Callers may
    // close it again on any road: closing a wait dialog that is not open does nothing.
    bool Fetch(const std::wstring& url, FetchMode mode);
    // The part of Fetch after the download: keeps the body as the page text and, in
    // Parse mode, converts and parses it by the provider. False when the system cannot
    // convert the page to the ANSI code page or the parser refuses it (the last error
    // says which).
    bool AcceptPage(std::string body, FetchMode mode);

    const std::wstring& OutputPath() const { return m_outputPath; }
    // The provider's tag, or empty while no rule has named one.
    std::wstring_view ProviderTag() const { return m_provider ? m_provider->tag : std::wstring_view(); }
    void SetProvider(const ProviderId& provider) { m_provider = &provider; }
    const std::string& PageText() const { return m_pageText; }
    DocumentTree& Document() { return m_parser.Tree(); }
    void ReleaseDocument() { m_parser.Tree().clear(); }
    DWORD EnableFtVideo() const { return m_enableFtVideo; }
    DWORD FlvParseServer() const { return m_flvParseServer; }
    std::vector<std::string>& ItemFragments() { return m_itemFragments; }
    CoreUi& Ui() { return m_ui; }

private:
    CoreUi& m_ui;
    std::wstring m_outputPath;
    const ProviderId* m_provider = nullptr;
    bool m_pageRefused = false; // the last AcceptPage's parser refused the page
    std::string m_pageText;
    DocumentParser m_parser;
    DWORD m_enableFtVideo = 1;
    DWORD m_flvParseServer = 0;
    std::vector<std::string> m_itemFragments;
};
