#include "platform/browser/HtmlDocument.h"

#include "platform/browser/WebBrowser.h"
#include "platform/com/ComObject.h"

namespace platform::browser {

namespace {

// The document interfaces are dispatch interfaces too: both answer for IDispatch, which
// names no members here.
template <class Interface> class DispatchObject : public ComObject<Interface> {
public:
    explicit DispatchObject(WebBrowser& browser) : m_browser(browser) { m_browser.AddRef(); }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (object && iid == IID_IDispatch) {
            this->AddRef();
            *object = static_cast<IDispatch*>(this);
            return S_OK;
        }
        return ComObject<Interface>::QueryInterface(iid, object);
    }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }

protected:
    ~DispatchObject() override { m_browser.Release(); }

    WebBrowser& m_browser;
};

class HtmlWindow final : public DispatchObject<IHTMLWindow2> {
public:
    using DispatchObject::DispatchObject;
    HRESULT scrollBy(LONG x, LONG y) override { return m_browser.ScrollView(x, y); }
};

class HtmlDocument final : public DispatchObject<IHTMLDocument2> {
public:
    using DispatchObject::DispatchObject;
    HRESULT get_parentWindow(IHTMLWindow2** window) override {
        if (!window)
            return E_POINTER;
        *window = new HtmlWindow(m_browser);
        return S_OK;
    }
};

} // namespace

IHTMLDocument2* CreateHtmlDocument(WebBrowser& browser) { return new HtmlDocument(browser); }

} // namespace platform::browser
