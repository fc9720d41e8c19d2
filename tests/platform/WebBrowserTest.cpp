#include "platform/browser/WebBrowser.h"
// The browser control through its COM surface, embedded the way the program's browser
// window embeds it: a site that counts its references and a sink that records what each
// event carries, on the headless screen.

#include "TestPictures.h"
#include "platform/com/ComPointer.h"
#include "platform/com/WebBrowserTypes.h"
#include "platform/display/PaintApi.h"
#include "platform/gdi/GdiApi.h"
#include "platform/window/Input.h"
#include "platform/window/WindowApi.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// What the browser host reads of one event.
struct Event {
    DISPID id = 0;
    std::wstring text; // the address, or the title
    LONG progress = 0;
    LONG maximum = 0;
    READYSTATE state = READYSTATE_UNINITIALIZED; // the control's, while the event runs
    IDispatch* browser = nullptr;
    std::thread::id thread;
};

std::vector<Event> Of(const std::vector<Event>& events, DISPID id) {
    std::vector<Event> chosen;
    std::copy_if(events.begin(), events.end(), std::back_inserter(chosen), [&](const Event& e) { return e.id == id; });
    return chosen;
}

// A text argument as the host takes it: a VT_BSTR, itself or behind VT_BYREF | VT_VARIANT.
std::wstring TextOf(const VARIANTARG& argument) {
    const VARIANT* value = argument.vt == (VT_BYREF | VT_VARIANT) ? argument.pvarVal : &argument;
    if (!value || value->vt != VT_BSTR)
        return L"<not a text>";
    return std::wstring(value->bstrVal, SysStringLen(value->bstrVal));
}

class RecordingSink final : public IDispatch {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return static_cast<ULONG>(++references); }
    ULONG Release() override { return static_cast<ULONG>(--references); }

    HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*) override {
        static const std::map<DISPID, UINT> argumentCounts = {
            {DISPID_BEFORENAVIGATE2, 7}, {DISPID_DOCUMENTCOMPLETE, 2}, {DISPID_NAVIGATEERROR, 5},
            {DISPID_PROGRESSCHANGE, 2},  {DISPID_TITLECHANGE, 1},      {DISPID_STATUSTEXTCHANGE, 1},
            {DISPID_FILEDOWNLOAD, 2},    {DISPID_DOWNLOADBEGIN, 0},    {DISPID_DOWNLOADCOMPLETE, 0},
            {DISPID_ONQUIT, 0}};
        auto expected = argumentCounts.find(id);
        if (expected == argumentCounts.end() || parameters->cArgs != expected->second) {
            ADD_FAILURE() << "event " << id << " with " << parameters->cArgs << " arguments";
            return E_INVALIDARG;
        }
        Event event;
        event.id = id;
        event.thread = std::this_thread::get_id();
        if (browser)
            browser->get_ReadyState(&event.state);
        VARIANTARG* arguments = parameters->rgvarg;
        auto dispatchAt = [&](UINT i) { return arguments[i].vt == VT_DISPATCH ? arguments[i].pdispVal : nullptr; };
        switch (id) {
        case DISPID_BEFORENAVIGATE2:
            event.text = TextOf(arguments[5]);
            event.browser = dispatchAt(6);
            EXPECT_EQ(arguments[0].vt, VT_BYREF | VT_BOOL);
            if (arguments[0].vt == (VT_BYREF | VT_BOOL) && cancelled.count(event.text))
                *arguments[0].pboolVal = VARIANT_TRUE;
            break;
        case DISPID_DOCUMENTCOMPLETE:
            event.text = TextOf(arguments[0]);
            event.browser = dispatchAt(1);
            break;
        case DISPID_NAVIGATEERROR: event.text = TextOf(arguments[3]); break;
        case DISPID_TITLECHANGE: event.text = TextOf(arguments[0]); break;
        case DISPID_PROGRESSCHANGE:
            EXPECT_TRUE(arguments[0].vt == VT_I4 && arguments[1].vt == VT_I4);
            event.progress = arguments[1].lVal;
            event.maximum = arguments[0].lVal;
            break;
        default: break;
        }
        std::lock_guard guard(m_lock);
        m_events.push_back(event);
        return S_OK;
    }

    std::vector<Event> Events() {
        std::lock_guard guard(m_lock);
        return m_events;
    }
    void Clear() {
        std::lock_guard guard(m_lock);
        m_events.clear();
    }

    std::atomic<int> references{0};
    IWebBrowser2* browser = nullptr;  // asked for its ready state at each event
    std::set<std::wstring> cancelled; // addresses whose BeforeNavigate2 is cancelled

private:
    std::mutex m_lock;
    std::vector<Event> m_events;
};

// The host's side of in-place activation, with the program's host flags.
class RecordingSite final : public IOleClientSite, public IOleInPlaceSite, public IDocHostUIHandler {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *object = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleInPlaceSite || iid == IID_IOleWindow)
            *object = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IDocHostUIHandler)
            *object = static_cast<IDocHostUIHandler*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return static_cast<ULONG>(++references); }
    ULONG Release() override { return static_cast<ULONG>(--references); }

    HRESULT GetContainer(IOleContainer** container) override {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT GetWindow(HWND* hostWindow) override {
        *hostWindow = window;
        return S_OK;
    }
    HRESULT CanInPlaceActivate() override { return S_OK; }
    HRESULT OnInPlaceActivate() override {
        active = true;
        return S_OK;
    }
    HRESULT OnInPlaceDeactivate() override {
        active = false;
        return S_OK;
    }
    HRESULT OnPosRectChange(const RECT*) override { return S_OK; }
    HRESULT GetWindowContext(IOleInPlaceFrame**, IOleInPlaceUIWindow**, RECT*, RECT*, OLEINPLACEFRAMEINFO*) override {
        return E_NOTIMPL;
    }
    HRESULT GetHostInfo(DOCHOSTUIINFO* info) override {
        info->cbSize = 20;
        info->dwFlags = flags;
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        return S_OK;
    }

    std::atomic<int> references{0};
    HWND window = nullptr;
    bool active = false;
    DWORD flags = DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_SCROLL_NO | DOCHOSTUIFLAG_URL_ENCODING_ENABLE_UTF8 |
                  DOCHOSTUIFLAG_NOPICS; // the program's
};

HRESULT Open(IWebBrowser2* browser, const std::wstring& address) {
    VARIANT url, empty;
    VariantInit(&url);
    VariantInit(&empty);
    url.vt = VT_BSTR;
    url.bstrVal = SysAllocString(address.c_str());
    HRESULT result = browser->Navigate2(&url, &empty, &empty, &empty, &empty);
    VariantClear(&url);
    return result;
}

std::string Page(const std::string& title, const std::string& body) {
    return "<html><head><meta charset=\"utf-8\"><title>" + title + "</title></head><body style=\"margin:0\">" + body +
           "</body></html>";
}

void PumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

bool PumpUntil(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        PumpPending();
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

const wchar_t* const First = L"\\Pages\\first.html";
const wchar_t* const Second = L"\\Pages\\second.html";

class WebBrowserTest : public ::testing::Test {
protected:
    WebBrowserTest() {
        static const bool registered = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = &DefWindowProcW;
            windowClass.lpszClassName = L"BrowserTestHost";
            return RegisterClassW(&windowClass) != 0;
        }();
        EXPECT_TRUE(registered);
        host = CreateWindowExW(0, L"BrowserTestHost", L"", WS_POPUP | WS_VISIBLE, 0, 0, 480, 720, nullptr, nullptr,
                               nullptr, nullptr);
        site.window = host;
        WriteHostFile(root.Host("Pages/first.html"), Page("First page", "<p>One</p>"));
        WriteHostFile(root.Host("Pages/second.html"), Page("Second page", "<p>Two</p>"));
    }
    ~WebBrowserTest() override {
        LetGo();
        DestroyWindow(host);
        PumpPending();
    }

    // Create, activate in place and connect the events, as the browser host does.
    void Embed(RECT area = {0, 0, 480, 600}) {
        platform::RegisterWebBrowserClass();
        ComPointer<IUnknown> unknown;
        ASSERT_EQ(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                   IID_IUnknown, unknown.PutVoid()),
                  S_OK);
        object = unknown.As<IOleObject>();
        ASSERT_TRUE(object);
        DWORD status = 0;
        ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
        ASSERT_TRUE(status & OLEMISC_SETCLIENTSITEFIRST);
        ASSERT_EQ(object->SetClientSite(&site), S_OK);
        ASSERT_EQ(object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site, 0, host, &area), S_OK);
        EXPECT_TRUE(site.active);
        browser = object.As<IWebBrowser2>();
        ASSERT_TRUE(browser);
        auto window = browser.As<IOleWindow>();
        ASSERT_TRUE(window);
        ASSERT_EQ(window->GetWindow(&view), S_OK);
        EXPECT_EQ(GetParent(view), host);
        auto container = browser.As<IConnectionPointContainer>();
        ASSERT_TRUE(container);
        ASSERT_EQ(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Put()), S_OK);
        DWORD cookie = 0;
        ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
        sink.browser = browser.Get();
    }

    void LetGo() {
        sink.browser = nullptr;
        object.Reset();
        browser.Reset();
        point.Reset();
    }

    READYSTATE State() {
        READYSTATE state = READYSTATE_UNINITIALIZED;
        EXPECT_EQ(browser->get_ReadyState(&state), S_OK);
        return state;
    }

    // The address of the page that the call completed, or nothing.
    std::wstring Completed(const std::function<HRESULT()>& call) {
        sink.Clear();
        call();
        std::vector<Event> complete = Of(sink.Events(), DISPID_DOCUMENTCOMPLETE);
        return complete.empty() ? std::wstring() : complete.back().text;
    }

    // The document's window, reached the way the host scrolls.
    ComPointer<IHTMLWindow2> DocumentWindow() {
        ComPointer<IDispatch> document;
        ComPointer<IHTMLWindow2> window;
        if (SUCCEEDED(browser->get_Document(document.Put())) && document) {
            if (auto html = document.As<IHTMLDocument2>())
                html->get_parentWindow(window.Put());
        }
        return window;
    }

    TemporaryRoot root;
    RecordingSite site;
    RecordingSink sink;
    HWND host = nullptr;
    HWND view = nullptr;
    ComPointer<IOleObject> object;
    ComPointer<IWebBrowser2> browser;
    ComPointer<IConnectionPoint> point;
};

TEST_F(WebBrowserTest, ALocalPageLoadsWithItsEventsInOrder) {
    ASSERT_NO_FATAL_FAILURE(Embed());
    ASSERT_EQ(Open(browser.Get(), First), S_OK);
    std::vector<Event> events = sink.Events();
    ASSERT_GE(events.size(), 2u);
    auto dispatch = browser.As<IDispatch>();
    EXPECT_EQ(events.front().id, DISPID_BEFORENAVIGATE2);
    EXPECT_EQ(events.front().text, First);
    EXPECT_EQ(events.front().browser, dispatch.Get());
    EXPECT_EQ(events.back().id, DISPID_DOCUMENTCOMPLETE);
    EXPECT_EQ(events.back().text, First);
    EXPECT_EQ(events.back().browser, dispatch.Get());
    EXPECT_EQ(events.back().state, READYSTATE_COMPLETE);
    EXPECT_EQ(State(), READYSTATE_COMPLETE);

    // Progress starts at 0 while loading, never goes back and reaches its maximum; one
    // report comes while the page is interactive, which is when the host lets it scroll.
    std::vector<Event> progress = Of(events, DISPID_PROGRESSCHANGE);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front().progress, 0);
    EXPECT_EQ(progress.front().state, READYSTATE_LOADING);
    for (std::size_t i = 0; i < progress.size(); ++i) {
        EXPECT_GT(progress[i].maximum, 0);
        if (i > 0) {
            EXPECT_GE(progress[i].progress, progress[i - 1].progress);
        }
    }
    EXPECT_EQ(progress.back().progress, progress.back().maximum);
    EXPECT_TRUE(std::any_of(progress.begin(), progress.end(),
                            [](const Event& e) { return e.state == READYSTATE_INTERACTIVE && e.progress >= 0; }));

    std::vector<Event> titles = Of(events, DISPID_TITLECHANGE);
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0].text, L"First page");
    EXPECT_TRUE(Of(events, DISPID_NAVIGATEERROR).empty());
}

TEST_F(WebBrowserTest, CancelledNavigationsChangeNothingAndHistoryGoesBothWays) {
    ASSERT_NO_FATAL_FAILURE(Embed());
    EXPECT_EQ(Completed([&] { return Open(browser.Get(), First); }), First);
    EXPECT_EQ(Completed([&] { return Open(browser.Get(), Second); }), Second);

    sink.cancelled = {L"\\Pages\\third.html"};
    sink.Clear();
    EXPECT_EQ(Open(browser.Get(), L"\\Pages\\third.html"), S_OK);
    std::vector<Event> events = sink.Events();
    ASSERT_EQ(events.size(), 1u) << "nothing follows a cancelled BeforeNavigate2";
    EXPECT_EQ(events[0].id, DISPID_BEFORENAVIGATE2);
    EXPECT_EQ(State(), READYSTATE_COMPLETE);

    // The cancelled address left no entry: back from the second page is the first.
    EXPECT_EQ(Completed([&] { return browser->GoBack(); }), First);
    EXPECT_EQ(Completed([&] { return browser->GoForward(); }), Second);
    sink.Clear();
    EXPECT_TRUE(FAILED(browser->GoForward()));
    EXPECT_TRUE(sink.Events().empty());

    // A cancelled step back stays where it was, so the next one still leads to the first page.
    sink.cancelled = {First};
    EXPECT_EQ(Completed([&] { return browser->GoBack(); }), L"");
    sink.cancelled.clear();
    EXPECT_EQ(Completed([&] { return browser->GoBack(); }), First);
    EXPECT_TRUE(FAILED(browser->GoBack()));
}

TEST_F(WebBrowserTest, AMissingFileFiresNavigateErrorAndKeepsThePageShown) {
    ASSERT_NO_FATAL_FAILURE(Embed());
    ComPointer<IDispatch> document;
    EXPECT_TRUE(FAILED(browser->get_Document(document.Put())));
    EXPECT_FALSE(document) << "no document before the first page";

    ASSERT_EQ(Completed([&] { return Open(browser.Get(), First); }), First);
    sink.Clear();
    EXPECT_EQ(Open(browser.Get(), L"\\Pages\\missing.html"), S_OK);
    std::vector<Event> events = sink.Events();
    std::vector<Event> errors = Of(events, DISPID_NAVIGATEERROR);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].text, L"\\Pages\\missing.html");
    EXPECT_TRUE(Of(events, DISPID_DOCUMENTCOMPLETE).empty());
    EXPECT_TRUE(Of(events, DISPID_TITLECHANGE).empty());
    EXPECT_EQ(State(), READYSTATE_COMPLETE);
    EXPECT_EQ(browser->get_Document(document.Put()), S_OK);
    EXPECT_TRUE(document);
}

TEST_F(WebBrowserTest, GoHomeOpensTheHomePageOfTheDeviceImage) {
    ASSERT_NO_FATAL_FAILURE(Embed());
    EXPECT_EQ(Completed([&] { return browser->GoHome(); }), L"\\Windows\\home.html");
    std::vector<Event> titles = Of(sink.Events(), DISPID_TITLECHANGE);
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_FALSE(titles[0].text.empty());
    EXPECT_NE(titles[0].text, L"\\Windows\\home.html") << "the home page has a title of its own";
}

TEST_F(WebBrowserTest, ANavigationFromAnotherThreadFiresItsEventsOnTheControlsThread) {
    ASSERT_NO_FATAL_FAILURE(Embed());
    HRESULT result = E_FAIL;
    std::thread worker([&] { result = Open(browser.Get(), First); });
    worker.join();
    EXPECT_EQ(result, S_OK);
    EXPECT_TRUE(sink.Events().empty()) << "the request waits for the control's thread";
    ASSERT_TRUE(PumpUntil([&] { return !Of(sink.Events(), DISPID_DOCUMENTCOMPLETE).empty(); }));
    for (const Event& event : sink.Events())
        EXPECT_EQ(event.thread, std::this_thread::get_id()) << "event " << event.id;
}

TEST_F(WebBrowserTest, ATapOnALinkFollowsItAndADragOverItDoesNot) {
    WriteHostFile(root.Host("Pages/links.html"),
                  Page("Links", "<a href=\"second.html\" style=\"display:block;height:120px\">Second</a>"
                                "<div style=\"height:1200px\"></div>"));
    ASSERT_NO_FATAL_FAILURE(Embed());
    ASSERT_EQ(Completed([&] { return Open(browser.Get(), L"\\Pages\\links.html"); }), L"\\Pages\\links.html");
    sink.cancelled = {Second};
    sink.Clear();

    EXPECT_EQ(platform::InjectTouch(platform::TouchPhase::Down, {60, 60}), view);
    platform::InjectTouch(platform::TouchPhase::Up, {61, 62});
    ASSERT_TRUE(PumpUntil([&] { return !Of(sink.Events(), DISPID_BEFORENAVIGATE2).empty(); }));
    EXPECT_EQ(Of(sink.Events(), DISPID_BEFORENAVIGATE2)[0].text, Second);

    sink.Clear();
    platform::InjectTouch(platform::TouchPhase::Down, {60, 60});
    platform::InjectTouch(platform::TouchPhase::Move, {60, 80});
    platform::InjectTouch(platform::TouchPhase::Move, {60, 100});
    platform::InjectTouch(platform::TouchPhase::Up, {60, 100});
    PumpPending();
    EXPECT_TRUE(sink.Events().empty()) << "a drag follows no link";
}

// The local pages' scripts, as the converters write them, run by a tap in the control.
TEST_F(WebBrowserTest, TheChannelsListAndThePlayListsMemoOpenAndCloseByTap) {
    WriteHostFile(root.Host("Pages/channel.html"),
                  Page("Channel",
                       "<style>.tree2 { display: none; } a, ul, li { display: block; margin: 0; padding: 0; }"
                       "li { height: 100px; background: #00ff00; }</style>"
                       "<script type=\"text/javascript\">function TriggerTree(el) {var tree2 = "
                       "document.getElementById(\"tree2\");if(tree2.style.display=='none'||"
                       "tree2.style.display==''){tree2.style.display = \"block\";tree2.style.top=("
                       "el.offsetHeight+el.offsetTop)+'px';el.innerHTML='[close]';}else{"
                       "tree2.style.display='none';el.innerHTML='[open]';}}</script>"
                       "<a onclick=\"TriggerTree(this)\" style=\"height:60px\">[open]</a>"
                       "<ul id=\"tree2\" class=\"tree2\"><li>A</li><li>B</li></ul>"
                       "<div style=\"height:300px;background:#0000ff\"></div>"));
    WriteHostFile(root.Host("Pages/memo.html"),
                  Page("Memo", "<script type=\"text/javascript\">function tabMemo(memoShort,memoLong){ if "
                               "(document.getElementById(memoShort).style.display == 'none') "
                               "{document.getElementById(memoShort).style.display = '';document.getElementById("
                               "memoLong).style.display = 'none';} else {document.getElementById(memoShort).style."
                               "display = 'none';document.getElementById(memoLong).style.display = '';}}</script>"
                               "<div onclick=\"tabMemo('short','long')\" style=\"height:60px\">memo</div>"
                               "<div id=\"short\" style=\"height:100px;background:#ff0000\"></div>"
                               "<div id=\"long\" style=\"display:none;height:100px;background:#00ff00\"></div>"));
    ASSERT_NO_FATAL_FAILURE(Embed());
    auto pixel = [](int x, int y) {
        HDC screen = GetDC(nullptr);
        COLORREF colour = GetPixel(screen, x, y);
        ReleaseDC(nullptr, screen);
        return colour;
    };
    auto tap = [&](POINT at) {
        platform::InjectTouch(platform::TouchPhase::Down, at);
        platform::InjectTouch(platform::TouchPhase::Up, at);
        PumpPending();
        UpdateWindow(view);
    };
    ASSERT_EQ(Completed([&] { return Open(browser.Get(), L"\\Pages\\channel.html"); }), L"\\Pages\\channel.html");
    UpdateWindow(view);
    EXPECT_EQ(pixel(100, 100), RGB(0, 0, 255)) << "the list is closed";
    tap({100, 30});
    EXPECT_EQ(pixel(100, 100), RGB(0, 255, 0)) << "the list came out under the link";
    tap({100, 30});
    EXPECT_EQ(pixel(100, 100), RGB(0, 0, 255)) << "and went back";

    ASSERT_EQ(Completed([&] { return Open(browser.Get(), L"\\Pages\\memo.html"); }), L"\\Pages\\memo.html");
    UpdateWindow(view);
    EXPECT_EQ(pixel(100, 100), RGB(255, 0, 0));
    tap({100, 30});
    EXPECT_EQ(pixel(100, 100), RGB(0, 255, 0)) << "the long memo in place of the short one";
}

// A converted page is written in GBK; its title and text reach the host as Unicode. The
// host's flags, asked when it becomes the site, keep its pictures out.
TEST_F(WebBrowserTest, AGbkPageShowsItsTextAndItsPicturesOnlyWhenTheHostAllows) {
    WriteHostFile(root.Host("Pages/red.png"), RedPng());
    WriteHostFile(root.Host("Pages/gbk.html"),
                  "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=GBK\" />"
                  "<title>\xB9\xA6\xB7\xF2</title></head><body style=\"margin:0\">"
                  "<img src=\"red.png\" width=\"40\" height=\"40\"/><p>\xB9\xA6\xB7\xF2\xD0\xDC\xC3\xA8</p>"
                  "</body></html>");
    auto red = [] {
        HDC screen = GetDC(nullptr);
        COLORREF colour = GetPixel(screen, 20, 20);
        ReleaseDC(nullptr, screen);
        return colour == RGB(255, 0, 0);
    };
    for (bool pictures : {false, true}) {
        SCOPED_TRACE(pictures ? "pictures allowed" : "no pictures");
        site.flags = pictures ? DOCHOSTUIFLAG_SCROLL_NO : site.flags | DOCHOSTUIFLAG_NOPICS;
        ASSERT_NO_FATAL_FAILURE(Embed());
        ASSERT_EQ(Completed([&] { return Open(browser.Get(), L"\\Pages\\gbk.html"); }), L"\\Pages\\gbk.html");
        std::vector<Event> titles = Of(sink.Events(), DISPID_TITLECHANGE);
        ASSERT_EQ(titles.size(), 1u);
        EXPECT_EQ(titles[0].text, L"功夫");
        UpdateWindow(view);
        EXPECT_EQ(red(), pictures);
        LetGo();
        PumpPending();
    }
}

// A long page: its first part is shown and painted when Navigate2 returns, the whole
// comes with the next messages, and only then is the load complete.
TEST_F(WebBrowserTest, ALongPageShowsItsFirstPartAtOnceAndTheWholeSoonAfter) {
    std::string rows;
    for (int row = 0; row < 1500; ++row)
        rows += "<div style=\"height:20px;background:#" + std::string(row == 1499 ? "ff0000" : "00ff00") + "\">" +
                std::to_string(row) + "</div>";
    ASSERT_GT(rows.size(), platform::browser::WebBrowser::FirstPartBytes);
    WriteHostFile(root.Host("Pages/long.html"), Page("Long", rows));
    ASSERT_NO_FATAL_FAILURE(Embed(RECT{0, 0, 480, 300}));
    sink.Clear();
    ASSERT_EQ(Open(browser.Get(), L"\\Pages\\long.html"), S_OK);
    std::vector<Event> events = sink.Events();
    ASSERT_EQ(Of(events, DISPID_PROGRESSCHANGE).size(), 3u);
    EXPECT_EQ(Of(events, DISPID_PROGRESSCHANGE).back().state, READYSTATE_INTERACTIVE);
    EXPECT_TRUE(Of(events, DISPID_DOCUMENTCOMPLETE).empty()) << "not yet the whole page";
    EXPECT_EQ(State(), READYSTATE_INTERACTIVE);
    EXPECT_FALSE(GetUpdateRect(view, nullptr, FALSE)) << "the first part is painted already";

    ASSERT_TRUE(PumpUntil([&] { return !Of(sink.Events(), DISPID_DOCUMENTCOMPLETE).empty(); }));
    EXPECT_EQ(State(), READYSTATE_COMPLETE);
    EXPECT_EQ(Of(sink.Events(), DISPID_PROGRESSCHANGE).size(), 3u) << "no progress after the page was ready";
    // The whole page is there: its last row, red, at the bottom once scrolled to the end.
    ComPointer<IHTMLWindow2> window = DocumentWindow();
    ASSERT_TRUE(window);
    ASSERT_EQ(window->scrollBy(0, 100000), S_OK);
    UpdateWindow(view);
    HDC screen = GetDC(nullptr);
    COLORREF bottom = GetPixel(screen, 200, 295);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(bottom, RGB(255, 0, 0));
}

// Band i of the striped page: each differs from its neighbours in every channel.
COLORREF BandColour(int band) {
    band %= 40;
    return RGB(static_cast<BYTE>(band * 6), static_cast<BYTE>(250 - band * 6), static_cast<BYTE>(band % 2 ? 60 : 190));
}

std::string Hex(COLORREF colour) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

// Whether the screen's column x shows the striped page from page row `top` down.
::testing::AssertionResult ShowsBandsFrom(int top, int x, int height) {
    HDC screen = GetDC(nullptr);
    std::vector<COLORREF> column;
    for (int y = 0; y < height; ++y)
        column.push_back(GetPixel(screen, x, y));
    ReleaseDC(nullptr, screen);
    for (int y = 0; y < height; ++y) {
        COLORREF expected = BandColour((top + y) / 50);
        if (column[y] != expected)
            return ::testing::AssertionFailure() << "row " << y << " shows " << Hex(column[y]) << ", not "
                                                 << Hex(expected) << " (page row " << top + y << ")";
    }
    return ::testing::AssertionSuccess();
}

TEST_F(WebBrowserTest, ScrollByMovesThePixelsAtOnceAndStopsAtBothEnds) {
    // 80 bands of 50 rows: a page of 4000 rows in a view of 300, longer than the bands of
    // the page the view keeps painted.
    std::string bands;
    for (int band = 0; band < 80; ++band)
        bands += "<div style=\"height:50px;background:" + Hex(BandColour(band)) + "\"></div>";
    WriteHostFile(root.Host("Pages/bands.html"), Page("Bands", bands));
    ASSERT_NO_FATAL_FAILURE(Embed(RECT{0, 0, 480, 300}));
    ASSERT_EQ(Completed([&] { return Open(browser.Get(), L"\\Pages\\bands.html"); }), L"\\Pages\\bands.html");
    ASSERT_TRUE(PumpUntil([&] { return !GetUpdateRect(view, nullptr, FALSE); }));
    ComPointer<IHTMLWindow2> window = DocumentWindow();
    ASSERT_TRUE(window);

    // The rightmost column: with DOCHOSTUIFLAG_SCROLL_NO no scroll bar covers it. The
    // screen is read straight after each call, without a message handled in between.
    const int x = 478, height = 300;
    EXPECT_TRUE(ShowsBandsFrom(0, x, height));
    const std::pair<LONG, int> steps[] = {
        {37, 37}, {-20, 17}, {-1000, 0}, {-5, 0}, {100000, 3700}, {5, 3700}, {-299, 3401}, {300, 3700},
    };
    for (auto [dy, top] : steps) {
        ASSERT_EQ(window->scrollBy(0, dy), S_OK);
        EXPECT_TRUE(ShowsBandsFrom(top, x, height)) << "after scrollBy(0, " << dy << ")";
    }
    // A finger's steps all the way up and down again: parts painted before and kept, and
    // parts painted anew, join without a seam.
    for (int direction : {-1, 1}) {
        for (int step = 0; step < 3700 / 20; ++step) {
            ASSERT_EQ(window->scrollBy(0, 20 * direction), S_OK);
            int top = direction < 0 ? 3700 - 20 * (step + 1) : 20 * (step + 1);
            ASSERT_TRUE(ShowsBandsFrom(top, x, height)) << "after step " << step << " going " << direction;
        }
    }
}

TEST_F(WebBrowserTest, EveryReferenceIsGivenBackWhenTheHostLetsGo) {
    ASSERT_NO_FATAL_FAILURE(Embed());
    ASSERT_EQ(Completed([&] { return Open(browser.Get(), First); }), First);
    ComPointer<IHTMLWindow2> window = DocumentWindow();
    ASSERT_TRUE(window);
    EXPECT_GT(site.references.load(), 0);
    EXPECT_GT(sink.references.load(), 0);
    HWND shown = view;

    // In the host's order: the object, the browser, the connection point, the document window.
    LetGo();
    EXPECT_TRUE(IsWindow(shown)) << "the document window still holds the control";
    EXPECT_EQ(window.Detach()->Release(), 0u);
    EXPECT_FALSE(IsWindow(shown));
    EXPECT_FALSE(site.active);
    EXPECT_EQ(site.references.load(), 0);
    EXPECT_EQ(sink.references.load(), 0);
    EXPECT_EQ(Of(sink.Events(), DISPID_ONQUIT).size(), 1u);
}

} // namespace
