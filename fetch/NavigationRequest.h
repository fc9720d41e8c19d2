#pragma once
// The work record of one intercepted navigation: its output path, the settings that
// steer conversion and playback, the provider tag, the downloaded page and its parsed
// tree. It belongs to the one worker thread that builds it and is never shared; it
// initialises COM for that thread for its lifetime.

#include "fetch/CoreUi.h"
#include "fetch/PageDocument.h"

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
    // the page of a "youku" or "6" request is first turned from UTF-8 into the ANSI code
    // page, and pages of every tag but "8fan" and none are parsed. On a failed download
    // the user has been told and the page and tree are unchanged. The wait dialog stays
    // open on success: the caller closes it when its work is done.
    bool Fetch(const std::wstring& url, FetchMode mode);
    // The part of Fetch after the download: keeps the body as the page text and, in
    // Parse mode, converts and parses it by the provider tag.
    void AcceptPage(std::string body, FetchMode mode);

    const std::wstring& OutputPath() const { return m_outputPath; }
    const std::wstring& ProviderTag() const { return m_providerTag; }
    void SetProviderTag(std::wstring tag) { m_providerTag = std::move(tag); }
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
    std::wstring m_providerTag;
    std::string m_pageText;
    DocumentParser m_parser;
    DWORD m_enableFtVideo = 1;
    DWORD m_flvParseServer = 0;
    std::vector<std::string> m_itemFragments;
};
