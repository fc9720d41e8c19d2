#pragma once
// The interfaces between the WebBrowser control and the window that embeds it: the
// site's side (client site, in-place site, control site, container, UI handler), the
// control's side (the object, its window, IWebBrowser2, its connection point) and the
// document's (IHTMLDocument2, IHTMLWindow2), with the DISPIDs of DWebBrowserEvents2.
// Each interface carries the methods that one side calls on the other.
//
// DWebBrowserEvents2 is a dispatch interface: a sink is an IDispatch that answers for
// DIID_DWebBrowserEvents2, and each event is an Invoke with the event's DISPID. The
// arguments come last first in DISPPARAMS::rgvarg:
//   BeforeNavigate2 (250)  [6] VT_DISPATCH the browser, [5] address, [4] flags (VT_I4),
//                          [3] target frame, [2] post data (VT_EMPTY), [1] headers,
//                          [0] cancel (VT_BYREF | VT_BOOL)
//   DocumentComplete (259) [1] VT_DISPATCH the browser, [0] address
//   NavigateError (271)    [4] VT_DISPATCH the browser, [3] address, [2] target frame,
//                          [1] status (VT_I4), [0] cancel (VT_BYREF | VT_BOOL)
//   ProgressChange (108)   [1] progress (VT_I4), [0] maximum (VT_I4)
//   TitleChange (113), StatusTextChange (102)   [0] the text (VT_BSTR)
//   FileDownload (270)     [1] active document (VT_BOOL), [0] cancel (VT_BYREF | VT_BOOL)
//   DownloadBegin (106), DownloadComplete (104), OnQuit (253)   no arguments
// The address, frame, flags, post data, headers and status of BeforeNavigate2,
// DocumentComplete and NavigateError are VT_BYREF | VT_VARIANT, pointing at a variant
// that holds the value (a VT_BSTR for the texts).

#include "platform/com/Automation.h"
#include "platform/window/WindowTypes.h"

constexpr CLSID CLSID_WebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

constexpr DWORD DVASPECT_CONTENT = 1;

constexpr DWORD OLEMISC_RECOMPOSEONRESIZE = 0x00000001;
constexpr DWORD OLEMISC_INSIDEOUT = 0x00000080;
constexpr DWORD OLEMISC_ACTIVATEWHENVISIBLE = 0x00000100;
constexpr DWORD OLEMISC_SETCLIENTSITEFIRST = 0x00020000;

constexpr LONG OLEIVERB_PRIMARY = 0;
constexpr LONG OLEIVERB_SHOW = -1;
constexpr LONG OLEIVERB_UIACTIVATE = -4;
constexpr LONG OLEIVERB_INPLACEACTIVATE = -5;

enum READYSTATE {
    READYSTATE_UNINITIALIZED = 0,
    READYSTATE_LOADING = 1,
    READYSTATE_LOADED = 2,
    READYSTATE_INTERACTIVE = 3,
    READYSTATE_COMPLETE = 4,
};

constexpr DWORD DOCHOSTUIFLAG_DIALOG = 0x00000001;
constexpr DWORD DOCHOSTUIFLAG_SCROLL_NO = 0x00000008;
constexpr DWORD DOCHOSTUIFLAG_NOPICS = 0x00002000;
constexpr DWORD DOCHOSTUIFLAG_URL_ENCODING_ENABLE_UTF8 = 0x00100000;
constexpr DWORD DOCHOSTUIDBLCLK_DEFAULT = 0;

struct DOCHOSTUIINFO {
    ULONG cbSize;
    DWORD dwFlags;
    DWORD dwDoubleClick;
};

constexpr DISPID DISPID_STATUSTEXTCHANGE = 102;
constexpr DISPID DISPID_DOWNLOADCOMPLETE = 104;
constexpr DISPID DISPID_DOWNLOADBEGIN = 106;
constexpr DISPID DISPID_PROGRESSCHANGE = 108;
constexpr DISPID DISPID_TITLECHANGE = 113;
constexpr DISPID DISPID_BEFORENAVIGATE2 = 250;
constexpr DISPID DISPID_ONQUIT = 253;
constexpr DISPID DISPID_DOCUMENTCOMPLETE = 259;
constexpr DISPID DISPID_FILEDOWNLOAD = 270;
constexpr DISPID DISPID_NAVIGATEERROR = 271;

// NavigateError's status: the file is not there; an address the control cannot load.
constexpr HRESULT INET_E_RESOURCE_NOT_FOUND = static_cast<HRESULT>(0x800C0005);
constexpr HRESULT INET_E_UNKNOWN_PROTOCOL = static_cast<HRESULT>(0x800C000D);

constexpr HRESULT CONNECT_E_NOCONNECTION = static_cast<HRESULT>(0x80040200);
constexpr HRESULT CONNECT_E_CANNOTCONNECT = static_cast<HRESULT>(0x80040202);

constexpr IID DIID_DWebBrowserEvents2 = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};

// The frame and document windows of in-place activation: never used here, passed as null.
struct IOleInPlaceFrame;
struct IOleInPlaceUIWindow;

struct OLEINPLACEFRAMEINFO {
    UINT cb;
    BOOL fMDIApp;
    HWND hwndFrame;
    void* haccel;
    UINT cAccelEntries;
};

struct IOleContainer : IUnknown {
    static constexpr IID Iid = {0x0000011B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    virtual HRESULT LockContainer(BOOL lock) = 0;
};

struct IOleClientSite : IUnknown {
    static constexpr IID Iid = {0x00000118, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    virtual HRESULT GetContainer(IOleContainer** container) = 0;
};

struct IOleWindow : IUnknown {
    static constexpr IID Iid = {0x00000114, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    virtual HRESULT GetWindow(HWND* window) = 0;
};

struct IOleInPlaceSite : IOleWindow {
    static constexpr IID Iid = {0x00000119, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    // S_OK: the object may activate in place.
    virtual HRESULT CanInPlaceActivate() = 0;
    virtual HRESULT OnInPlaceActivate() = 0;
    virtual HRESULT OnInPlaceDeactivate() = 0;
    virtual HRESULT OnPosRectChange(const RECT* position) = 0;
    virtual HRESULT GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                     RECT* clip, OLEINPLACEFRAMEINFO* frameInfo) = 0;
};

struct IOleControlSite : IUnknown {
    static constexpr IID Iid = {0xB196B289, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
    virtual HRESULT LockInPlaceActive(BOOL lock) = 0;
    virtual HRESULT OnFocus(BOOL gotFocus) = 0;
    virtual HRESULT TranslateAccelerator(MSG* message, DWORD modifiers) = 0;
};

struct IDocHostUIHandler : IUnknown {
    static constexpr IID Iid = {0xBD3F23C0, 0xD43E, 0x11CF, {0x89, 0x3B, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x1A}};
    // Asked when the control gets its client site; the control honours
    // DOCHOSTUIFLAG_SCROLL_NO (no scroll bar) and DOCHOSTUIFLAG_NOPICS (no pictures).
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO* info) = 0;
};

struct IOleObject : IUnknown {
    static constexpr IID Iid = {0x00000112, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    virtual HRESULT SetClientSite(IOleClientSite* site) = 0;
    // OLEIVERB_UIACTIVATE (and the other showing verbs): the control's window is made in
    // the in-place site's window at `position` (the site window's client co-ordinates).
    virtual HRESULT DoVerb(LONG verb, MSG* message, IOleClientSite* site, LONG index, HWND parent,
                           const RECT* position) = 0;
    virtual HRESULT GetMiscStatus(DWORD aspect, DWORD* status) = 0;
};

struct IConnectionPoint : IUnknown {
    static constexpr IID Iid = {0xB196B286, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
    // The sink must answer for the connection point's interface; it is held until the
    // control goes.
    virtual HRESULT Advise(IUnknown* sink, DWORD* cookie) = 0;
};

struct IConnectionPointContainer : IUnknown {
    static constexpr IID Iid = {0xB196B284, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
    virtual HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) = 0;
};

struct IHTMLWindow2 : IDispatch {
    static constexpr IID Iid = {0x332C4427, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};
    virtual HRESULT scrollBy(LONG x, LONG y) = 0;
};

struct IHTMLDocument2 : IDispatch {
    static constexpr IID Iid = {0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};
    virtual HRESULT get_parentWindow(IHTMLWindow2** window) = 0;
};

struct IWebBrowser2 : IDispatch {
    static constexpr IID Iid = {0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};
    virtual HRESULT GoBack() = 0;
    virtual HRESULT GoForward() = 0;
    virtual HRESULT GoHome() = 0;
    virtual HRESULT Stop() = 0;
    // E_FAIL, and null, while no page is shown.
    virtual HRESULT get_Document(IDispatch** document) = 0;
    virtual HRESULT get_ReadyState(READYSTATE* state) = 0;
    // `url` is a VT_BSTR (or a VT_BYREF | VT_VARIANT pointing at one); the other
    // arguments may be null or VT_EMPTY and are not used.
    virtual HRESULT Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                              VARIANT* headers) = 0;
};

constexpr IID IID_IOleContainer = IOleContainer::Iid;
constexpr IID IID_IOleClientSite = IOleClientSite::Iid;
constexpr IID IID_IOleWindow = IOleWindow::Iid;
constexpr IID IID_IOleInPlaceSite = IOleInPlaceSite::Iid;
constexpr IID IID_IOleControlSite = IOleControlSite::Iid;
constexpr IID IID_IDocHostUIHandler = IDocHostUIHandler::Iid;
constexpr IID IID_IOleObject = IOleObject::Iid;
constexpr IID IID_IConnectionPoint = IConnectionPoint::Iid;
constexpr IID IID_IConnectionPointContainer = IConnectionPointContainer::Iid;
constexpr IID IID_IHTMLWindow2 = IHTMLWindow2::Iid;
constexpr IID IID_IHTMLDocument2 = IHTMLDocument2::Iid;
constexpr IID IID_IWebBrowser2 = IWebBrowser2::Iid;
