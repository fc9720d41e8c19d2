#pragma once
// The control-site side of the browser view: a plain native window (the host window) in
// which the platform's WebBrowser control is activated in place, the six site interfaces
// the control asks for, the event sink of DWebBrowserEvents2, and the few browser
// operations the windows need. The object belongs to the application: its references
// are counted but never delete it.
//
// Create, Destroy, AttachTo and the events run on the user-interface thread. Navigate
// may be called from any thread: the control hands a call from another thread to its
// own, where the events then fire.

#include "platform/com/WebBrowserTypes.h"
#include "platform/window/WindowTypes.h"

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>

class BrowserHost : public IOleContainer,
                    public IOleClientSite,
                    public IOleInPlaceSite,
                    public IOleControlSite,
                    public IDispatch,
                    public IDocHostUIHandler {
public:
    // DOCHOSTUIFLAG_DIALOG | SCROLL_NO | URL_ENCODING_ENABLE_UTF8 | NOPICS: no scroll
    // bars (the finger scrolls) and no pictures (the pages' thumbnails are web addresses).
    static constexpr DWORD HostFlags = 0x00102009;
    // Titles and status texts longer than this are cut to it and "..." is added.
    static constexpr std::size_t EventTextLimit = 2043;
    static constexpr const wchar_t* HostClassName = L"Quillora";
    static constexpr DWORD HostStyle = 0x00010000; // WS_TABSTOP

    BrowserHost() = default;
    virtual ~BrowserHost();
    BrowserHost(const BrowserHost&) = delete;
    BrowserHost& operator=(const BrowserHost&) = delete;

    // IUnknown, shared by all six interfaces.
    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    // IOleContainer
    HRESULT LockContainer(BOOL) override { return S_OK; }
    // IOleClientSite
    HRESULT GetContainer(IOleContainer** container) override;
    // IOleWindow and IOleInPlaceSite
    HRESULT GetWindow(HWND* window) override;
    HRESULT CanInPlaceActivate() override { return S_OK; }
    HRESULT OnInPlaceActivate() override;
    HRESULT OnInPlaceDeactivate() override;
    HRESULT OnPosRectChange(const RECT*) override { return S_OK; }
    HRESULT GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position, RECT* clip,
                             OLEINPLACEFRAMEINFO* frameInfo) override;
    // IOleControlSite
    HRESULT LockInPlaceActive(BOOL) override { return S_OK; }
    HRESULT OnFocus(BOOL) override { return S_OK; }
    HRESULT TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    // IDispatch: the event switch.
    HRESULT Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                   EXCEPINFO* exception, UINT* argumentError) override;
    // IDocHostUIHandler
    HRESULT GetHostInfo(DOCHOSTUIINFO* info) override;

    // Makes the host window and the control and connects the events; on any failure
    // Destroy runs and every browser operation does nothing from then on.
    bool Create(HINSTANCE instance);
    void Destroy();
    // The host window becomes a child of `parent` at `area`.
    void AttachTo(HWND parent, const RECT& area);
    void ShowHost(int show);
    // An empty path goes home. Any thread.
    bool Navigate(const std::wstring& path);
    void GoBack();
    void GoForward();
    void Stop();
    READYSTATE ReadyState();
    void ScrollBy(int dx, int dy);

    HWND HostWindow() const { return m_hostWindow; }
    HWND BrowserWindow() const { return m_browserWindow; }
    HWND ParentWindow() const { return m_parentWindow; }
    bool InPlaceActive() const { return m_inPlaceActive; }
    bool HasControl();
    LONG References() const { return m_references; }

    // A text as the events hand it on: cut to EventTextLimit characters and "...".
    static std::wstring CutEventText(const std::wstring& text);

protected:
    // The events, on the user-interface thread; each does nothing unless overridden.
    virtual void OnTitleChange(const std::wstring&) {}
    virtual void OnProgressChange(LONG /*progress*/, LONG /*progressMax*/) {}
    virtual void OnStatusTextChange(const std::wstring&) {}
    virtual void OnQuit() {}
    virtual void OnDownloadComplete() {}
    virtual void OnDownloadBegin() {}
    // 1: cancel the download.
    virtual int OnFileDownload() { return 0; }
    virtual void OnBeforeNavigate2(IDispatch*, VARIANT* /*url*/, VARIANT* /*flags*/, VARIANT* /*targetFrame*/,
                                   VARIANT* /*postData*/, VARIANT* /*headers*/, VARIANT_BOOL* /*cancel*/) {}
    virtual void OnDocumentComplete(IDispatch*, VARIANT* /*url*/) {}
    virtual void OnNavigateError() {}

    // The document window is asked for again at the next scroll.
    void ReleaseDocumentWindow();

private:
    bool CreateHostWindow();
    bool CreateControl();
    bool ConnectEvents();
    IWebBrowser2* Browser();

    std::atomic<LONG> m_references{0};
    HINSTANCE m_instance = nullptr;
    HWND m_hostWindow = nullptr;
    HWND m_browserWindow = nullptr;
    HWND m_parentWindow = nullptr;
    bool m_inPlaceActive = false;
    // Navigate reads the control from other threads while Destroy may let it go.
    std::mutex m_controlLock;
    IWebBrowser2* m_browser = nullptr;
    IConnectionPoint* m_connectionPoint = nullptr;
    IOleObject* m_object = nullptr;
    DWORD m_cookie = 0;
    IHTMLWindow2* m_documentWindow = nullptr;
};
