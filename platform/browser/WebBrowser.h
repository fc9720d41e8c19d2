#pragma once
// The WebBrowser control (CoCreateInstance with CLSID_WebBrowser): an in-place object
// that shows local pages, given by device path ("\Quillora\temp\x.html"), in a window of
// its own inside its site's window, keeps a history for back and forward, and reports
// each step of a navigation to the sinks of DWebBrowserEvents2.
//
// A navigation, whatever started it (Navigate2, GoHome, GoBack, GoForward, a tapped
// link), fires BeforeNavigate2 and ends there when a sink cancels it. Otherwise the load
// runs through DownloadBegin, StatusTextChange, ProgressChange (0), FileDownload, then
// either NavigateError (no such file, or not a device path) and DownloadComplete, with
// the page that was shown kept; or ProgressChange (50), the page shown and the ready
// state interactive, TitleChange, ProgressChange (100) while still interactive,
// DownloadComplete, the ready state complete, StatusTextChange and DocumentComplete. A
// long page shows its first part at the progress of 100 and runs the rest of the load
// (the whole page in its place, DownloadComplete ...) from a message of its own, after
// the first part has been painted; until then the ready state stays interactive.
// A navigation started from inside an event supersedes the one that fired it; Stop
// from inside an event ends the load where it is.
//
// The control belongs to the thread that creates it: its window, its pages and every
// event stay there. Navigate2, GoHome, GoBack, GoForward, Stop and the document window's
// scrollBy may be called from any thread: on another thread the call is handed to the
// control's window as a message and answers S_OK at once (E_FAIL before the control
// has a window). On its own thread a navigation is done, every event fired, when the
// call returns. get_ReadyState, get_Document, GetWindow and Advise answer on any thread;
// SetClientSite and DoVerb only on the control's. The last Release made on another
// thread hands the deletion to the control's thread as well.

#include "platform/browser/BrowserEvents.h"
#include "platform/browser/BrowserView.h"
#include "platform/com/ComPointer.h"
#include "platform/com/WebBrowserTypes.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform::browser {

// The home page of GoHome, a page of the device image.
inline constexpr const wchar_t* HomePage = L"\\Windows\\home.html";

class WebBrowser final : public IOleObject,
                         public IOleWindow,
                         public IWebBrowser2,
                         public IConnectionPointContainer,
                         private BrowserView::Owner {
public:
    // A page longer than this shows its first part (PageView's FirstPartEnd) at once,
    // and its whole soon after: the first screen comes without laying out all of it.
    static constexpr std::size_t FirstPartBytes = 24 * 1024;

    WebBrowser();
    WebBrowser(const WebBrowser&) = delete;
    WebBrowser& operator=(const WebBrowser&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT SetClientSite(IOleClientSite* site) override;
    HRESULT DoVerb(LONG verb, MSG* message, IOleClientSite* site, LONG index, HWND parent,
                   const RECT* position) override;
    HRESULT GetMiscStatus(DWORD aspect, DWORD* status) override;

    HRESULT GetWindow(HWND* window) override;

    HRESULT Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                   EXCEPINFO* exception, UINT* argumentError) override;

    HRESULT GoBack() override;
    HRESULT GoForward() override;
    HRESULT GoHome() override;
    HRESULT Stop() override;
    HRESULT get_Document(IDispatch** document) override;
    HRESULT get_ReadyState(READYSTATE* state) override;
    HRESULT Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData, VARIANT* headers) override;

    HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // The document window's scrollBy: vertical only, as pages are as wide as the view.
    HRESULT ScrollView(LONG dx, LONG dy);

private:
    struct Request {
        enum class Kind { Address, Home, Back, Forward, Stop, Scroll, Finish };
        Kind kind = Kind::Address;
        std::wstring address;
        LONG dy = 0;
        unsigned load = 0; // the load a Finish completes
    };

    ~WebBrowser();

    void DeleteSelf();
    bool OnOwnThread() const;
    IDispatch* Self() { return static_cast<IWebBrowser2*>(this); }
    void ReadHostInfo();
    void Deactivate();
    HRESULT Submit(Request request);
    HRESULT Execute(const Request& request);
    HRESULT Navigate(std::wstring address, int historyIndex);
    // The whole of a long page whose first part is shown, in its place.
    HRESULT Finish(const Request& request);
    // The end of a load: DownloadComplete, StatusTextChange and DocumentComplete.
    HRESULT Complete(const std::wstring& address);
    // Handled on the control's thread after what waits there now, even from it.
    void Later(Request request);
    void Commit(const std::wstring& address, int historyIndex);
    void EndLoading();
    HRESULT StopLoading();

    void OnLinkTapped(const std::wstring& href) override;
    void OnHandOff() override;
    void OnDeletionHandedOff() override;

    std::atomic<ULONG> m_references{1};
    const std::thread::id m_thread;
    // Declared before the view: the view (and its window) goes first.
    EventConnection m_events;
    BrowserView m_view;
    ComPointer<IOleClientSite> m_site;
    ComPointer<IOleInPlaceSite> m_inPlaceSite; // set while active in place
    std::atomic<READYSTATE> m_readyState{READYSTATE_UNINITIALIZED};
    std::atomic<bool> m_hasDocument{false};

    std::vector<std::wstring> m_history;
    int m_historyIndex = -1;
    // Counts the loads begun: a load whose number is no longer the last was superseded.
    unsigned m_loadNumber = 0;
    bool m_loading = false;
    std::string m_wholePage; // of a long page whose first part is shown

    std::mutex m_requestLock;
    std::deque<Request> m_requests; // handed over from other threads
};

} // namespace platform::browser

namespace platform {
// The control's class for CoCreateInstance.
HRESULT CreateWebBrowser(IUnknown** object);
// Puts CLSID_WebBrowser into the class table; the program calls it once at start.
void RegisterWebBrowserClass();
} // namespace platform
