#include "platform/browser/BrowserEvents.h"

#include <iterator>

namespace platform::browser {

namespace {

// A variant holding a copy of a text, freed with it.
class TextValue {
public:
    explicit TextValue(const std::wstring& text) {
        VariantInit(&m_value);
        m_value.vt = VT_BSTR;
        m_value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    ~TextValue() { VariantClear(&m_value); }
    TextValue(const TextValue&) = delete;
    TextValue& operator=(const TextValue&) = delete;
    VARIANT* Get() { return &m_value; }
    BSTR Text() const { return m_value.bstrVal; }

private:
    VARIANT m_value;
};

VARIANTARG Typed(VARTYPE type) {
    VARIANTARG argument;
    VariantInit(&argument);
    argument.vt = type;
    return argument;
}

VARIANTARG Long(LONG value) {
    VARIANTARG argument = Typed(VT_I4);
    argument.lVal = value;
    return argument;
}

VARIANTARG Bool(bool value) {
    VARIANTARG argument = Typed(VT_BOOL);
    argument.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return argument;
}

VARIANTARG BoolReference(VARIANT_BOOL* flag) {
    VARIANTARG argument = Typed(VT_BYREF | VT_BOOL);
    argument.pboolVal = flag;
    return argument;
}

VARIANTARG Reference(VARIANT* value) {
    VARIANTARG argument = Typed(VT_BYREF | VT_VARIANT);
    argument.pvarVal = value;
    return argument;
}

VARIANTARG Dispatch(IDispatch* object) {
    VARIANTARG argument = Typed(VT_DISPATCH);
    argument.pdispVal = object;
    return argument;
}

// The text is the event's, not the sink's: it is lent, never handed over.
VARIANTARG Text(const TextValue& text) {
    VARIANTARG argument = Typed(VT_BSTR);
    argument.bstrVal = text.Text();
    return argument;
}

} // namespace

EventConnection::~EventConnection() {
    for (auto& [cookie, sink] : m_sinks)
        sink->Release();
}

HRESULT EventConnection::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT EventConnection::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    IDispatch* events = nullptr;
    if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&events))) || !events)
        return CONNECT_E_CANNOTCONNECT;
    std::lock_guard guard(m_lock);
    *cookie = m_nextCookie++;
    m_sinks.emplace_back(*cookie, events);
    return S_OK;
}

void EventConnection::Fire(DISPID event, VARIANTARG* arguments, UINT count) {
    // The sinks are taken out first: an event's handler may advise another.
    std::vector<IDispatch*> sinks;
    {
        std::lock_guard guard(m_lock);
        for (auto& [cookie, sink] : m_sinks) {
            sink->AddRef();
            sinks.push_back(sink);
        }
    }
    DISPPARAMS parameters{arguments, nullptr, count, 0};
    for (IDispatch* sink : sinks) {
        sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
        sink->Release();
    }
}

bool EventConnection::BeforeNavigate2(IDispatch* browser, const std::wstring& address) {
    TextValue url(address), frame(L""), headers(L"");
    VARIANT flags = Long(0), postData = Typed(VT_EMPTY);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANTARG arguments[] = {BoolReference(&cancel), Reference(headers.Get()), Reference(&postData),
                              Reference(frame.Get()), Reference(&flags),        Reference(url.Get()),
                              Dispatch(browser)};
    Fire(DISPID_BEFORENAVIGATE2, arguments, static_cast<UINT>(std::size(arguments)));
    return cancel != VARIANT_FALSE;
}

bool EventConnection::FileDownload(bool activeDocument) {
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANTARG arguments[] = {BoolReference(&cancel), Bool(activeDocument)};
    Fire(DISPID_FILEDOWNLOAD, arguments, static_cast<UINT>(std::size(arguments)));
    return cancel != VARIANT_FALSE;
}

bool EventConnection::NavigateError(IDispatch* browser, const std::wstring& address, HRESULT status) {
    TextValue url(address), frame(L"");
    VARIANT code = Long(status);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANTARG arguments[] = {BoolReference(&cancel), Reference(&code), Reference(frame.Get()), Reference(url.Get()),
                              Dispatch(browser)};
    Fire(DISPID_NAVIGATEERROR, arguments, static_cast<UINT>(std::size(arguments)));
    return cancel != VARIANT_FALSE;
}

void EventConnection::DocumentComplete(IDispatch* browser, const std::wstring& address) {
    TextValue url(address);
    VARIANTARG arguments[] = {Reference(url.Get()), Dispatch(browser)};
    Fire(DISPID_DOCUMENTCOMPLETE, arguments, static_cast<UINT>(std::size(arguments)));
}

void EventConnection::ProgressChange(LONG progress, LONG maximum) {
    VARIANTARG arguments[] = {Long(maximum), Long(progress)};
    Fire(DISPID_PROGRESSCHANGE, arguments, static_cast<UINT>(std::size(arguments)));
}

void EventConnection::TitleChange(const std::wstring& text) {
    TextValue title(text);
    VARIANTARG arguments[] = {Text(title)};
    Fire(DISPID_TITLECHANGE, arguments, 1);
}

void EventConnection::StatusTextChange(const std::wstring& text) {
    TextValue status(text);
    VARIANTARG arguments[] = {Text(status)};
    Fire(DISPID_STATUSTEXTCHANGE, arguments, 1);
}

void EventConnection::DownloadBegin() { Fire(DISPID_DOWNLOADBEGIN, nullptr, 0); }

void EventConnection::DownloadComplete() { Fire(DISPID_DOWNLOADCOMPLETE, nullptr, 0); }

void EventConnection::Quit() { Fire(DISPID_ONQUIT, nullptr, 0); }

} // namespace platform::browser
