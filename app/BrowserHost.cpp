#include "app/BrowserHost.h"

#include "platform/browser/WebBrowser.h"
#include "platform/com/Automation.h"
#include "platform/com/Com.h"
#include "platform/gdi/GdiApi.h"
#include "platform/window/WindowApi.h"

namespace {

// The host window fills its browser window on every size change; the browser window
// is its only child.
LRESULT HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        if (HWND browser = ::GetWindow(window, GW_CHILD)) {
            RECT client{};
            GetClientRect(window, &client);
            MoveWindow(browser, 0, 0, client.right - client.left, client.bottom - client.top, FALSE);
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A text argument: a VT_BSTR, itself or behind VT_BYREF | VT_VARIANT (the way the
// control passes addresses).
const VARIANT* TextArgument(const VARIANTARG& argument) {
    const VARIANT* value = argument.vt == (VT_BYREF | VT_VARIANT) ? argument.pvarVal : &argument;
    return value && value->vt == VT_BSTR ? value : nullptr;
}

std::wstring TextOf(const VARIANTARG& argument) {
    const VARIANT* value = TextArgument(argument);
    return value ? std::wstring(value->bstrVal, SysStringLen(value->bstrVal)) : std::wstring();
}

LONG LongOf(const VARIANTARG& argument) { return argument.vt == VT_I4 ? argument.lVal : 0; }

VARIANT_BOOL* FlagOf(const VARIANTARG& argument) {
    return argument.vt == (VT_BYREF | VT_BOOL) ? argument.pboolVal : nullptr;
}

IDispatch* DispatchOf(const VARIANTARG& argument) { return argument.vt == VT_DISPATCH ? argument.pdispVal : nullptr; }

VARIANT* VariantOf(VARIANTARG& argument) {
    return argument.vt == (VT_BYREF | VT_VARIANT) ? argument.pvarVal : &argument;
}

} // namespace

BrowserHost::~BrowserHost() { Destroy(); }

std::wstring BrowserHost::CutEventText(const std::wstring& text) {
    if (text.size() <= EventTextLimit)
        return text;
    return text.substr(0, EventTextLimit) + L"...";
}

HRESULT BrowserHost::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleContainer)
        *object = static_cast<IOleContainer*>(this);
    else if (iid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleInPlaceSite || iid == IID_IOleWindow)
        *object = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleControlSite)
        *object = static_cast<IOleControlSite*>(this);
    else if (iid == DIID_DWebBrowserEvents2 || iid == IID_IDispatch)
        *object = static_cast<IDispatch*>(this);
    else if (iid == IID_IDocHostUIHandler)
        *object = static_cast<IDocHostUIHandler*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG BrowserHost::AddRef() { return static_cast<ULONG>(++m_references); }

// The application owns the object: the count is kept for the control's sake only.
ULONG BrowserHost::Release() { return static_cast<ULONG>(--m_references); }

HRESULT BrowserHost::GetContainer(IOleContainer** container) {
    if (container)
        *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT BrowserHost::GetWindow(HWND* window) {
    if (!window)
        return E_POINTER;
    *window = m_hostWindow;
    return S_OK;
}

HRESULT BrowserHost::OnInPlaceActivate() {
    m_inPlaceActive = true;
    return S_OK;
}

HRESULT BrowserHost::OnInPlaceDeactivate() {
    m_inPlaceActive = false;
    return S_OK;
}

HRESULT BrowserHost::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                      RECT* clip, OLEINPLACEFRAMEINFO*) {
    if (frame)
        *frame = nullptr;
    if (document)
        *document = nullptr;
    RECT client{};
    GetClientRect(m_hostWindow, &client);
    if (position)
        *position = client;
    if (clip)
        *clip = client;
    return S_OK;
}

HRESULT BrowserHost::GetHostInfo(DOCHOSTUIINFO* info) {
    if (!info)
        return E_POINTER;
    info->cbSize = 20;
    info->dwFlags = HostFlags;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

HRESULT BrowserHost::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*) {
    VARIANTARG* arguments = parameters ? parameters->rgvarg : nullptr;
    UINT count = parameters ? parameters->cArgs : 0;
    // The arguments come last first: arguments[count - 1] is the event's first.
    auto has = [&](UINT needed) { return arguments && count >= needed; };
    switch (member) {
    case DISPID_STATUSTEXTCHANGE:
        if (has(1))
            OnStatusTextChange(CutEventText(TextOf(arguments[0])));
        return S_OK;
    case DISPID_DOWNLOADCOMPLETE: OnDownloadComplete(); return S_OK;
    case DISPID_DOWNLOADBEGIN: OnDownloadBegin(); return S_OK;
    case DISPID_PROGRESSCHANGE:
        if (has(2))
            OnProgressChange(LongOf(arguments[1]), LongOf(arguments[0]));
        return S_OK;
    case DISPID_TITLECHANGE:
        if (has(1))
            OnTitleChange(CutEventText(TextOf(arguments[0])));
        return S_OK;
    case DISPID_BEFORENAVIGATE2:
        if (has(7))
            OnBeforeNavigate2(DispatchOf(arguments[6]), VariantOf(arguments[5]), VariantOf(arguments[4]),
                              VariantOf(arguments[3]), VariantOf(arguments[2]), VariantOf(arguments[1]),
                              FlagOf(arguments[0]));
        return S_OK;
    case DISPID_ONQUIT: OnQuit(); return S_OK;
    case DISPID_DOCUMENTCOMPLETE:
        if (has(2))
            OnDocumentComplete(DispatchOf(arguments[1]), VariantOf(arguments[0]));
        return S_OK;
    case DISPID_FILEDOWNLOAD:
        if (has(1)) {
            bool cancel = OnFileDownload() == 1;
            if (VARIANT_BOOL* flag = FlagOf(arguments[0]))
                *flag = cancel ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    case DISPID_NAVIGATEERROR: OnNavigateError(); return S_OK;
    default: return E_NOTIMPL;
    }
}

bool BrowserHost::Create(HINSTANCE instance) {
    m_instance = instance;
    CoInitializeEx(nullptr, 0);
    if (!CreateHostWindow() || !CreateControl() || !ConnectEvents()) {
        Destroy();
        return false;
    }
    return true;
}

bool BrowserHost::CreateHostWindow() {
    static std::once_flag registered;
    std::call_once(registered, [this] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &HostProcedure;
        windowClass.hInstance = m_instance;
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = HostClassName;
        RegisterClassW(&windowClass);
    });
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    m_hostWindow =
        CreateWindowExW(0, HostClassName, HostClassName, HostStyle, work.left, work.top, work.right - work.left,
                        work.bottom - work.top, nullptr, nullptr, m_instance, nullptr);
    return IsWindow(m_hostWindow);
}

// The lock guards only the members' writes: the control's calls may fire events whose
// handlers use the browser.
bool BrowserHost::CreateControl() {
    if (HasControl())
        return true;
    platform::RegisterWebBrowserClass();
    IUnknown* unknown = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IUnknown,
                                reinterpret_cast<void**>(&unknown))))
        return false;
    IOleObject* object = nullptr;
    HRESULT queried = unknown->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object));
    unknown->Release();
    if (FAILED(queried))
        return false;
    {
        std::lock_guard guard(m_controlLock);
        m_object = object; // Destroy lets it go if what follows fails
    }
    DWORD status = 0;
    object->GetMiscStatus(DVASPECT_CONTENT, &status);
    if (status & OLEMISC_SETCLIENTSITEFIRST)
        object->SetClientSite(static_cast<IOleClientSite*>(this));
    RECT client{};
    GetClientRect(m_hostWindow, &client);
    if (FAILED(
            object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, m_hostWindow, &client)))
        return false;
    IWebBrowser2* browser = nullptr;
    if (FAILED(object->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser))))
        return false;
    {
        std::lock_guard guard(m_controlLock);
        m_browser = browser;
    }
    IOleWindow* window = nullptr;
    if (FAILED(browser->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window))))
        return false;
    HRESULT got = window->GetWindow(&m_browserWindow);
    window->Release();
    return SUCCEEDED(got);
}

bool BrowserHost::ConnectEvents() {
    IWebBrowser2* browser = Browser();
    if (!browser)
        return false;
    IConnectionPointContainer* container = nullptr;
    HRESULT queried = browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    browser->Release();
    if (FAILED(queried))
        return false;
    IConnectionPoint* point = nullptr;
    HRESULT found = container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point);
    container->Release();
    if (FAILED(found))
        return false;
    {
        std::lock_guard guard(m_controlLock);
        m_connectionPoint = point;
    }
    IUnknown* sink = nullptr;
    if (FAILED(QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&sink))))
        return false;
    HRESULT advised = point->Advise(sink, &m_cookie);
    sink->Release();
    return SUCCEEDED(advised);
}

void BrowserHost::Destroy() {
    IOleObject* object;
    IWebBrowser2* browser;
    IConnectionPoint* point;
    {
        std::lock_guard guard(m_controlLock);
        object = std::exchange(m_object, nullptr);
        browser = std::exchange(m_browser, nullptr);
        point = std::exchange(m_connectionPoint, nullptr);
    }
    // Released outside the lock: the control's last release may fire its OnQuit here.
    if (object)
        object->Release();
    if (browser)
        browser->Release();
    if (point)
        point->Release();
    ReleaseDocumentWindow();
}

void BrowserHost::AttachTo(HWND parent, const RECT& area) {
    if (!m_hostWindow)
        return;
    LONG style = GetWindowLongW(m_hostWindow, GWL_STYLE);
    SetWindowLongW(m_hostWindow, GWL_STYLE, static_cast<LONG>((static_cast<DWORD>(style) & 0x3FFFFFFF) | WS_CHILD));
    SetParent(m_hostWindow, parent);
    MoveWindow(m_hostWindow, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    m_parentWindow = parent;
}

void BrowserHost::ShowHost(int show) {
    if (!m_hostWindow)
        return;
    if (show == 1) {
        ShowWindow(m_hostWindow, SW_SHOW);
        SetForegroundWindow(m_hostWindow);
    } else {
        ShowWindow(m_hostWindow, SW_HIDE);
    }
}

IWebBrowser2* BrowserHost::Browser() {
    std::lock_guard guard(m_controlLock);
    if (m_browser)
        m_browser->AddRef();
    return m_browser;
}

bool BrowserHost::HasControl() {
    std::lock_guard guard(m_controlLock);
    return m_browser != nullptr;
}

bool BrowserHost::Navigate(const std::wstring& path) {
    IWebBrowser2* browser = Browser();
    if (!browser)
        return false;
    HRESULT result;
    if (path.empty()) {
        result = browser->GoHome();
    } else {
        VARIANT url, empty;
        VariantInit(&url);
        VariantInit(&empty);
        url.vt = VT_BSTR;
        url.bstrVal = SysAllocStringLen(path.data(), static_cast<UINT>(path.size()));
        result = browser->Navigate2(&url, &empty, &empty, &empty, &empty);
        VariantClear(&url);
    }
    browser->Release();
    return SUCCEEDED(result);
}

void BrowserHost::GoBack() {
    if (IWebBrowser2* browser = Browser()) {
        browser->GoBack();
        browser->Release();
    }
}

void BrowserHost::GoForward() {
    if (IWebBrowser2* browser = Browser()) {
        browser->GoForward();
        browser->Release();
    }
}

void BrowserHost::Stop() {
    if (IWebBrowser2* browser = Browser()) {
        browser->Stop();
        browser->Release();
    }
}

READYSTATE BrowserHost::ReadyState() {
    READYSTATE state = READYSTATE_UNINITIALIZED;
    if (IWebBrowser2* browser = Browser()) {
        browser->get_ReadyState(&state);
        browser->Release();
    }
    return state;
}

void BrowserHost::ScrollBy(int dx, int dy) {
    IWebBrowser2* browser = Browser();
    if (!browser)
        return;
    if (!m_documentWindow) {
        IDispatch* document = nullptr;
        if (SUCCEEDED(browser->get_Document(&document)) && document) {
            IHTMLDocument2* html = nullptr;
            if (SUCCEEDED(document->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&html)))) {
                html->get_parentWindow(&m_documentWindow);
                html->Release();
            }
            document->Release();
        }
    }
    browser->Release();
    if (m_documentWindow)
        m_documentWindow->scrollBy(dx, dy);
}

void BrowserHost::ReleaseDocumentWindow() {
    if (IHTMLWindow2* window = std::exchange(m_documentWindow, nullptr))
        window->Release();
}
