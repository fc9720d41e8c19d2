#pragma once
// The document a browser control shows, as its host reaches it: IHTMLDocument2, whose
// parent window (IHTMLWindow2) scrolls the control's view. Each object holds a reference
// to the control, so the control outlives them; any thread may use them (the control
// hands the scrolling to its own thread).

#include "platform/com/WebBrowserTypes.h"

namespace platform::browser {

class WebBrowser;

// A new document object for the control's current page, with one reference.
IHTMLDocument2* CreateHtmlDocument(WebBrowser& browser);

} // namespace platform::browser
