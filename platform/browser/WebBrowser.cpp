#include "platform/browser/WebBrowser.h"

#include "platform/browser/HtmlDocument.h"
#include "platform/fs/WholeFile.h"
#include "platform/window/WindowApi.h"

#include <optional>
#include <utility>

namespace platform::browser {

namespace {

constexpr LONG ProgressRange = 100;
constexpr ULONG DeletingReferences = 1u << 30;

// A reference held for the length of a call that fires events: a sink may let go of
// the control from inside one.
class SelfReference {
public:
    explicit SelfReference(IUnknown& object) : m_object(object) { m_object.AddRef(); }
    ~SelfReference() { m_object.Release(); }
    SelfReference(const SelfReference&) = delete;
    SelfReference& operator=(const SelfReference&) = delete;

private:
    IUnknown& m_object;
};

bool IsDevicePath(const std::wstring& address) { return !address.empty() && address[0] == L'\\'; }

} // namespace

WebBrowser::WebBrowser()
    : m_thread(std::this_thread::get_id()), m_events(*static_cast<IOleObject*>(this)), m_view(*this) {}

WebBrowser::~WebBrowser() {
    // A last release on another thread deletes here only when there is no window, and
    // then no event may be fired: the sinks belong to the control's thread.
    if (OnOwnThread())
        m_events.Quit();
    Deactivate();
}

HRESULT WebBrowser::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleObject)
        *object = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow)
        *object = static_cast<IOleWindow*>(this);
    else if (iid == IID_IWebBrowser2 || iid == IID_IDispatch)
        *object = static_cast<IWebBrowser2*>(this);
    else if (iid == IID_IConnectionPointContainer)
        *object = static_cast<IConnectionPointContainer*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG WebBrowser::AddRef() { return ++m_references; }

ULONG WebBrowser::Release() {
    ULONG left = --m_references;
    if (left == 0 && (OnOwnThread() || !m_view.HandOffDeletion()))
        DeleteSelf();
    return left;
}

void WebBrowser::DeleteSelf() {
    // A sink that takes and gives back a reference during OnQuit must not delete it twice.
    m_references = DeletingReferences;
    delete this;
}

bool WebBrowser::OnOwnThread() const { return std::this_thread::get_id() == m_thread; }

HRESULT WebBrowser::SetClientSite(IOleClientSite* site) {
    if (!OnOwnThread())
        return RPC_E_WRONG_THREAD;
    if (site == m_site.Get())
        return S_OK;
    if (!site)
        Deactivate();
    m_site = ComPointer<IOleClientSite>::Share(site);
    if (m_site)
        ReadHostInfo();
    return S_OK;
}

void WebBrowser::ReadHostInfo() {
    auto handler = m_site.As<IDocHostUIHandler>();
    if (!handler)
        return;
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    if (SUCCEEDED(handler->GetHostInfo(&info)))
        m_view.SetAppearance(!(info.dwFlags & DOCHOSTUIFLAG_SCROLL_NO), !(info.dwFlags & DOCHOSTUIFLAG_NOPICS));
}

HRESULT WebBrowser::DoVerb(LONG verb, MSG* /*message*/, IOleClientSite* site, LONG /*index*/, HWND parent,
                           const RECT* position) {
    if (!OnOwnThread())
        return RPC_E_WRONG_THREAD;
    if (verb != OLEIVERB_UIACTIVATE && verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_SHOW &&
        verb != OLEIVERB_PRIMARY)
        return E_NOTIMPL;
    if (!m_site && site)
        SetClientSite(site);
    if (!m_site)
        return E_UNEXPECTED;
    if (m_inPlaceSite) {
        if (position)
            m_view.Move(*position);
        return S_OK;
    }
    auto inPlace = m_site.As<IOleInPlaceSite>();
    if (!inPlace)
        return E_NOINTERFACE;
    if (inPlace->CanInPlaceActivate() != S_OK)
        return E_FAIL;
    HWND window = nullptr;
    if (FAILED(inPlace->GetWindow(&window)) || !window)
        window = parent;
    RECT area{};
    if (position)
        area = *position;
    else if (window)
        GetClientRect(window, &area);
    if (!window || !m_view.Create(window, area))
        return E_FAIL;
    inPlace->OnInPlaceActivate();
    m_inPlaceSite = std::move(inPlace);
    return S_OK;
}

void WebBrowser::Deactivate() {
    if (!m_inPlaceSite)
        return;
    m_view.Destroy();
    m_inPlaceSite->OnInPlaceDeactivate();
    m_inPlaceSite.Reset();
}

HRESULT WebBrowser::GetMiscStatus(DWORD /*aspect*/, DWORD* status) {
    if (!status)
        return E_POINTER;
    *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT | OLEMISC_RECOMPOSEONRESIZE;
    return S_OK;
}

HRESULT WebBrowser::GetWindow(HWND* window) {
    if (!window)
        return E_POINTER;
    *window = m_view.Window();
    return *window ? S_OK : E_FAIL;
}

HRESULT WebBrowser::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT WebBrowser::GoBack() { return Submit({Request::Kind::Back, {}, 0}); }

HRESULT WebBrowser::GoForward() { return Submit({Request::Kind::Forward, {}, 0}); }

HRESULT WebBrowser::GoHome() { return Submit({Request::Kind::Home, {}, 0}); }

HRESULT WebBrowser::Stop() { return Submit({Request::Kind::Stop, {}, 0}); }

HRESULT WebBrowser::ScrollView(LONG /*dx*/, LONG dy) { return Submit({Request::Kind::Scroll, {}, dy}); }

HRESULT WebBrowser::get_Document(IDispatch** document) {
    if (!document)
        return E_POINTER;
    *document = nullptr;
    if (!m_hasDocument)
        return E_FAIL;
    *document = CreateHtmlDocument(*this);
    return S_OK;
}

HRESULT WebBrowser::get_ReadyState(READYSTATE* state) {
    if (!state)
        return E_POINTER;
    *state = m_readyState;
    return S_OK;
}

HRESULT WebBrowser::Navigate2(VARIANT* url, VARIANT* /*flags*/, VARIANT* /*targetFrame*/, VARIANT* /*postData*/,
                              VARIANT* /*headers*/) {
    if (!url)
        return E_POINTER;
    const VARIANT* value = url->vt == (VT_BYREF | VT_VARIANT) && url->pvarVal ? url->pvarVal : url;
    if (value->vt != VT_BSTR || !value->bstrVal)
        return E_INVALIDARG;
    return Submit({Request::Kind::Address, std::wstring(value->bstrVal, SysStringLen(value->bstrVal)), 0});
}

HRESULT WebBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point)
        return E_POINTER;
    *point = nullptr;
    if (!(iid == DIID_DWebBrowserEvents2))
        return CONNECT_E_NOCONNECTION;
    m_events.AddRef();
    *point = &m_events;
    return S_OK;
}

HRESULT WebBrowser::Submit(Request request) {
    if (OnOwnThread())
        return Execute(request);
    {
        std::lock_guard guard(m_requestLock);
        m_requests.push_back(std::move(request));
    }
    return m_view.PostHandOff() ? S_OK : E_FAIL;
}

void WebBrowser::OnHandOff() {
    SelfReference keep(*static_cast<IOleObject*>(this));
    // Only what waited when the message came: a request made while these run (the rest
    // of a long page) has a message of its own, after the paint.
    std::deque<Request> waiting;
    {
        std::lock_guard guard(m_requestLock);
        waiting.swap(m_requests);
    }
    for (const Request& request : waiting)
        Execute(request);
}

void WebBrowser::OnDeletionHandedOff() { DeleteSelf(); }

void WebBrowser::OnLinkTapped(const std::wstring& href) {
    if (const PageView* page = m_view.Page())
        Navigate(ResolveLink(page->Address(), href), -1);
}

HRESULT WebBrowser::Execute(const Request& request) {
    switch (request.kind) {
    case Request::Kind::Address: return Navigate(request.address, -1);
    case Request::Kind::Home: return Navigate(HomePage, -1);
    case Request::Kind::Back:
        if (m_historyIndex <= 0)
            return E_FAIL;
        return Navigate(m_history[m_historyIndex - 1], m_historyIndex - 1);
    case Request::Kind::Forward:
        if (m_historyIndex < 0 || m_historyIndex + 1 >= static_cast<int>(m_history.size()))
            return E_FAIL;
        return Navigate(m_history[m_historyIndex + 1], m_historyIndex + 1);
    case Request::Kind::Stop: return StopLoading();
    case Request::Kind::Scroll: m_view.ScrollBy(request.dy); return S_OK;
    case Request::Kind::Finish: return Finish(request);
    }
    return E_UNEXPECTED;
}

// `historyIndex` is the entry a back or forward navigation goes to; -1 for a new address.
HRESULT WebBrowser::Navigate(std::wstring address, int historyIndex) {
    SelfReference keep(*static_cast<IOleObject*>(this));
    if (m_events.BeforeNavigate2(Self(), address))
        return S_OK;
    // Taken only now: a navigation cancelled from inside another's event leaves that one going.
    unsigned load = ++m_loadNumber;
    auto current = [&] { return load == m_loadNumber; };
    m_loading = true;
    m_readyState = READYSTATE_LOADING;
    m_events.DownloadBegin();
    if (!current())
        return S_OK;
    m_events.StatusTextChange(address);
    if (!current())
        return S_OK;
    m_events.ProgressChange(0, ProgressRange);
    if (!current())
        return S_OK;
    bool refused = m_events.FileDownload(true);
    if (!current())
        return S_OK;
    if (refused) {
        EndLoading();
        return S_OK;
    }

    std::optional<std::string> bytes = IsDevicePath(address) ? ReadFileContents(address) : std::nullopt;
    if (!bytes) {
        m_loading = false;
        m_readyState = m_hasDocument ? READYSTATE_COMPLETE : READYSTATE_UNINITIALIZED;
        m_events.NavigateError(Self(), address,
                               IsDevicePath(address) ? INET_E_RESOURCE_NOT_FOUND : INET_E_UNKNOWN_PROTOCOL);
        if (current())
            m_events.DownloadComplete();
        return S_OK;
    }
    m_events.ProgressChange(ProgressRange / 2, ProgressRange);
    if (!current())
        return S_OK;

    std::optional<std::size_t> firstPart = FirstPartEnd(*bytes, FirstPartBytes);
    std::unique_ptr<PageView> page =
        m_view.MakePage(firstPart ? bytes->substr(0, *firstPart) : *bytes, address, !firstPart);
    std::wstring title = page->Title();
    Commit(address, historyIndex);
    m_view.ShowPage(std::move(page));
    m_hasDocument = true;
    // The host takes the page as ready to scroll at a progress event while interactive.
    m_readyState = READYSTATE_INTERACTIVE;
    m_events.TitleChange(title.empty() ? address : title);
    if (!current())
        return S_OK;
    m_events.ProgressChange(ProgressRange, ProgressRange);
    if (!current())
        return S_OK;
    if (firstPart) {
        // The first screen now; the whole page after it has been painted.
        if (HWND window = m_view.Window())
            UpdateWindow(window);
        m_wholePage = std::move(*bytes);
        Later(Request{Request::Kind::Finish, address, 0, load});
        return S_OK;
    }
    return Complete(address);
}

HRESULT WebBrowser::Finish(const Request& request) {
    if (request.load != m_loadNumber || !m_loading)
        return S_OK; // superseded or stopped: the first part stays
    m_view.ReplacePage(m_view.MakePage(std::exchange(m_wholePage, std::string()), request.address, true));
    return Complete(request.address);
}

HRESULT WebBrowser::Complete(const std::wstring& address) {
    unsigned load = m_loadNumber;
    auto current = [&] { return load == m_loadNumber; };
    EndLoading();
    if (!current())
        return S_OK;
    m_events.StatusTextChange(L"");
    if (!current())
        return S_OK;
    m_events.DocumentComplete(Self(), address);
    return S_OK;
}

void WebBrowser::Later(Request request) {
    {
        std::lock_guard guard(m_requestLock);
        m_requests.push_back(std::move(request));
    }
    m_view.PostHandOff();
}

void WebBrowser::Commit(const std::wstring& address, int historyIndex) {
    if (historyIndex >= 0) {
        m_historyIndex = historyIndex;
        return;
    }
    // Opening the page shown again (a reload) adds no entry.
    if (m_historyIndex >= 0 && m_history[m_historyIndex] == address)
        return;
    m_history.resize(m_historyIndex + 1);
    m_history.push_back(address);
    m_historyIndex = static_cast<int>(m_history.size()) - 1;
}

void WebBrowser::EndLoading() {
    m_loading = false;
    m_readyState = m_hasDocument ? READYSTATE_COMPLETE : READYSTATE_UNINITIALIZED;
    m_events.DownloadComplete();
}

HRESULT WebBrowser::StopLoading() {
    if (!m_loading)
        return S_OK;
    ++m_loadNumber;
    EndLoading();
    return S_OK;
}

} // namespace platform::browser

HRESULT platform::CreateWebBrowser(IUnknown** object) {
    if (!object)
        return E_POINTER;
    *object = static_cast<IOleObject*>(new browser::WebBrowser);
    return S_OK;
}

void platform::RegisterWebBrowserClass() { RegisterComClass(CLSID_WebBrowser, &CreateWebBrowser); }
