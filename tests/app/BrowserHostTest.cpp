// The browser host's site side and its event switch, on a browser view the program's
// way: local pages only, no web address reached.

#include "BrowserHarness.h"

#include "platform/com/Automation.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/gdi/GdiApi.h"
#include "platform/window/WindowApi.h"
#include "support/TemporaryRoot.h"
#include "toolkit/ProgressDialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

// An event's arguments as the control passes them, last first.
class EventArguments {
public:
    ~EventArguments() {
        for (VARIANT& argument : m_arguments)
            VariantClear(&argument);
    }
    EventArguments& Long(LONG value) {
        VARIANT& argument = Add();
        argument.vt = VT_I4;
        argument.lVal = value;
        return *this;
    }
    EventArguments& Text(const std::wstring& text) {
        VARIANT& argument = Add();
        argument.vt = VT_BSTR;
        argument.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *this;
    }
    EventArguments& Flag(VARIANT_BOOL* flag) {
        VARIANT& argument = Add();
        argument.vt = VT_BYREF | VT_BOOL;
        argument.pboolVal = flag;
        return *this;
    }
    // The event's arguments given first to last.
    DISPPARAMS Parameters() {
        m_reversed.assign(m_arguments.rbegin(), m_arguments.rend());
        return DISPPARAMS{m_reversed.data(), nullptr, static_cast<UINT>(m_reversed.size()), 0};
    }

private:
    VARIANT& Add() {
        m_arguments.emplace_back();
        VariantInit(&m_arguments.back());
        return m_arguments.back();
    }
    std::vector<VARIANT> m_arguments, m_reversed;
};

HRESULT Fire(BrowserWnd& view, DISPID id, EventArguments& arguments) {
    DISPPARAMS parameters = arguments.Parameters();
    return static_cast<IDispatch&>(view).Invoke(id, IID_IDispatch, 0, 0, &parameters, nullptr, nullptr, nullptr);
}

std::wstring WindowText(HWND window) {
    wchar_t text[4096] = {};
    GetWindowTextW(window, text, 4096);
    return text;
}

class BrowserHostTest : public ::testing::Test {
protected:
    BrowserHostTest() {
        WriteHostFile(root.Host("Quillora/temp/local.html"),
                      "<html><head><meta charset=\"utf-8\"><title>Local</title></head><body style=\"margin:0\">"
                      "<div style=\"height:3000px;background:#3060c0\"></div></body></html>");
    }

    // The colour the browser window shows at a point of its own, painted up to date.
    COLORREF BrowserPixel(int x, int y) {
        UpdateWindow(view.BrowserWindow());
        POINT at{x, y};
        ClientToScreen(view.BrowserWindow(), &at);
        HDC screen = GetDC(nullptr);
        COLORREF colour = GetPixel(screen, at.x, at.y);
        ReleaseDC(nullptr, screen);
        return colour;
    }

    TemporaryRoot root;
    BrowserHarness harness;
    BrowserWnd& view = harness.View();
};

TEST_F(BrowserHostTest, TheSiteAnswersTheControlsQuestionsAndIsNeverDeleted) {
    ASSERT_TRUE(view.HasControl());
    EXPECT_TRUE(view.InPlaceActive());
    EXPECT_EQ(GetParent(view.HostWindow()), view.GetHwnd());
    EXPECT_EQ(GetParent(view.BrowserWindow()), view.HostWindow());
    RECT host{};
    GetClientRect(view.HostWindow(), &host);
    EXPECT_EQ(host.bottom, view.GetHeight() - BrowserWnd::ToolbarHeight) << "the toolbar's strip stays free";

    struct Case {
        IID iid;
        void* expected;
    };
    const Case cases[] = {
        {IID_IUnknown, static_cast<IOleContainer*>(&view)},
        {IID_IOleContainer, static_cast<IOleContainer*>(&view)},
        {IID_IOleClientSite, static_cast<IOleClientSite*>(&view)},
        {IID_IOleInPlaceSite, static_cast<IOleInPlaceSite*>(&view)},
        {IID_IOleWindow, static_cast<IOleInPlaceSite*>(&view)},
        {IID_IOleControlSite, static_cast<IOleControlSite*>(&view)},
        {DIID_DWebBrowserEvents2, static_cast<IDispatch*>(&view)},
        {IID_IDispatch, static_cast<IDispatch*>(&view)},
        {IID_IDocHostUIHandler, static_cast<IDocHostUIHandler*>(&view)},
    };
    LONG before = view.References();
    for (const Case& test : cases) {
        void* object = nullptr;
        ASSERT_EQ(view.QueryInterface(test.iid, &object), S_OK);
        EXPECT_EQ(object, test.expected);
    }
    EXPECT_EQ(view.References(), before + 9);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(view.QueryInterface(IID_IWebBrowser2, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    // Released past zero, the object stays: it belongs to the application.
    for (int i = 0; i < 9 + before + 2; ++i)
        view.Release();
    EXPECT_EQ(view.References(), -2);
    for (int i = 0; i < before + 2; ++i)
        view.AddRef();

    DOCHOSTUIINFO info{};
    ASSERT_EQ(view.GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.cbSize, 20u);
    EXPECT_EQ(info.dwFlags, 0x00102009u);
    EXPECT_EQ(info.dwDoubleClick, 0u);
    EXPECT_EQ(view.TranslateAccelerator(nullptr, 0), S_FALSE);
    IOleContainer* container = reinterpret_cast<IOleContainer*>(1);
    EXPECT_EQ(view.GetContainer(&container), E_NOINTERFACE);
    EXPECT_EQ(container, nullptr);
    EventArguments none;
    EXPECT_EQ(Fire(view, 9999, none), E_NOTIMPL);
}

TEST_F(BrowserHostTest, ALocalPageIsLetThroughAndBecomesScrollableWhenInteractive) {
    EXPECT_FALSE(view.PageReady());
    ASSERT_TRUE(view.Navigate(L"\\Quillora\\temp\\local.html"));
    harness.Pump();
    EXPECT_EQ(view.StartedWorkers(), 0) << "a device path starts no worker";
    EXPECT_EQ(view.ShownPage(), L"\\Quillora\\temp\\local.html");
    EXPECT_EQ(WindowText(harness.App().Main().GetHwnd()), L"Local") << "the page's title is the main window's caption";
    EXPECT_TRUE(view.PageReady()) << "the control reported READYSTATE_INTERACTIVE during progress";
    EXPECT_TRUE(harness.PumpUntil([] { return RunningProgressDialogs() == 0; }));
    EXPECT_EQ(view.Progress().position.load(), 0);
}

TEST_F(BrowserHostTest, ProgressShowsTheDialogAndNonsenseChangesNothing) {
    EventArguments negative, noMaximum, start;
    negative.Long(-1).Long(100);
    noMaximum.Long(50).Long(0);
    start.Long(0).Long(100);
    ASSERT_EQ(Fire(view, DISPID_PROGRESSCHANGE, negative), S_OK);
    ASSERT_EQ(Fire(view, DISPID_PROGRESSCHANGE, noMaximum), S_OK);
    harness.Pump();
    EXPECT_EQ(RunningProgressDialogs(), 0);
    EXPECT_EQ(view.Progress().upperBound.load(), 100);
    EXPECT_EQ(view.Progress().position.load(), 0);

    // No page loading: the control is not interactive, the dialog stays up.
    ASSERT_EQ(Fire(view, DISPID_PROGRESSCHANGE, start), S_OK);
    EXPECT_TRUE(harness.PumpUntil([] { return FindProgressDialogWindow() != nullptr; }));
    EXPECT_FALSE(view.PageReady());
    // The page's own load reaches READYSTATE_INTERACTIVE: closed, scrolling allowed.
    ASSERT_TRUE(view.Navigate(L"\\Quillora\\temp\\local.html"));
    EXPECT_TRUE(harness.PumpUntil([] { return RunningProgressDialogs() == 0; }));
    EXPECT_TRUE(view.PageReady());

    // A progress of 100 with nothing shown yet brings the dialog too.
    ASSERT_EQ(view.Progress().position.load(), 0);
    EventArguments done;
    done.Long(100).Long(100);
    ASSERT_EQ(Fire(view, DISPID_PROGRESSCHANGE, done), S_OK);
    EXPECT_TRUE(harness.PumpUntil([] { return FindProgressDialogWindow() != nullptr; }));
    ASSERT_TRUE(view.Navigate(L"\\Quillora\\temp\\local.html"));
    EXPECT_TRUE(harness.PumpUntil([] { return RunningProgressDialogs() == 0; }));
}

TEST_F(BrowserHostTest, ANavigationWhoseAddressIsNoTextGoesOnWithoutAWorker) {
    ASSERT_TRUE(view.Navigate(L"\\Quillora\\temp\\local.html"));
    harness.Pump();
    ASSERT_TRUE(view.PageReady());
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EventArguments arguments;
    arguments.Long(0).Long(42).Long(0).Long(0).Long(0).Long(0).Flag(&cancel);
    ASSERT_EQ(Fire(view, DISPID_BEFORENAVIGATE2, arguments), S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE);
    EXPECT_EQ(view.StartedWorkers(), 0);
    EXPECT_FALSE(view.PageReady()) << "a navigation is starting all the same";
}

TEST(ProgramStart, TheBrowserViewIsMadeHiddenUnderTheMainWindow) {
    TemporaryRoot root;
    MainApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_TRUE(IsWindowVisible(app.Main().GetHwnd()));
    EXPECT_TRUE(IsWindow(app.Browser().GetHwnd()));
    EXPECT_FALSE(IsWindowVisible(app.Browser().GetHwnd()));
    EXPECT_EQ(GetParent(app.Browser().GetHwnd()), app.Main().GetHwnd());
    EXPECT_TRUE(app.Browser().HasControl());
}

// The end runs while the windows and the toolkit still live: the browser cache is emptied
// (the settings ask for it), the folder itself stays.
TEST(ProgramEnd, TheExitEmptiesTheBrowserCache) {
    TemporaryRoot root;
    MainApp app;
    ASSERT_TRUE(app.InitInstance());
    std::optional<std::filesystem::path> cache = platform::HostPathFromDevice(app.Main().CacheFolder());
    ASSERT_TRUE(cache);
    WriteHostFile(*cache / "page.html", "cached");
    app.ExitInstance();
    EXPECT_FALSE(std::filesystem::exists(*cache / "page.html"));
    EXPECT_TRUE(std::filesystem::is_directory(*cache));
}

// A host whose control never came: every browser operation does nothing.
TEST(BrowserHostWithoutControl, EveryOperationDoesNothing) {
    BrowserHost host;
    EXPECT_FALSE(host.HasControl());
    EXPECT_FALSE(host.Navigate(L"\\Quillora\\temp\\x.html"));
    EXPECT_FALSE(host.Navigate(L""));
    EXPECT_EQ(host.ReadyState(), READYSTATE_UNINITIALIZED);
    host.GoBack();
    host.GoForward();
    host.Stop();
    host.ScrollBy(0, 20);
    host.ShowHost(1);
    host.AttachTo(nullptr, RECT{0, 0, 10, 10});
    EXPECT_EQ(host.HostWindow(), nullptr);
    EXPECT_EQ(host.References(), 0);
}

TEST_F(BrowserHostTest, LongTitlesAreCutAndDownloadsNeverCancelled) {
    EventArguments longTitle, exactTitle;
    longTitle.Text(std::wstring(3000, L'x'));
    exactTitle.Text(std::wstring(2043, L'y'));
    HWND main = harness.App().Main().GetHwnd();
    ASSERT_EQ(Fire(view, DISPID_TITLECHANGE, longTitle), S_OK);
    EXPECT_EQ(WindowText(main), std::wstring(2043, L'x') + L"...");
    ASSERT_EQ(Fire(view, DISPID_TITLECHANGE, exactTitle), S_OK);
    EXPECT_EQ(WindowText(main), std::wstring(2043, L'y'));

    VARIANT_BOOL cancel = VARIANT_TRUE;
    EventArguments download;
    download.Long(0).Flag(&cancel);
    ASSERT_EQ(Fire(view, DISPID_FILEDOWNLOAD, download), S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE);
}

TEST_F(BrowserHostTest, ScrollingWithoutADocumentDoesNothingAndWithOneMovesThePage) {
    view.ScrollBy(0, 40); // nothing to scroll yet: nothing happens
    WriteHostFile(root.Host("Quillora/temp/two.html"),
                  "<html><body style=\"margin:0\"><div style=\"height:100px;background:#ff0000\"></div>"
                  "<div style=\"height:3000px;background:#0000ff\"></div></body></html>");
    ASSERT_TRUE(view.Navigate(L"\\Quillora\\temp\\two.html"));
    harness.Pump();
    auto top = [&] { return BrowserPixel(200, 10); };
    EXPECT_EQ(top(), RGB(255, 0, 0));
    view.ScrollBy(0, 100);
    EXPECT_EQ(top(), RGB(0, 0, 255));
    view.ScrollBy(0, -95);
    EXPECT_EQ(top(), RGB(255, 0, 0));
}

// The page as the finger moves it: 10-pixel bands whose red value is their number.
TEST_F(BrowserHostTest, AFingerDragScrollsThePageAndItRunsOnAfterTheRelease) {
    std::string bands;
    for (int band = 0; band < 250; ++band)
        bands += "<div style=\"height:10px;background:rgb(" + std::to_string(band) + ",80,160)\"></div>";
    WriteHostFile(root.Host("Quillora/temp/bands.html"), "<html><body style=\"margin:0\">" + bands + "</body></html>");
    ASSERT_TRUE(view.Navigate(L"\\Quillora\\temp\\bands.html"));
    harness.Pump();
    ASSERT_TRUE(view.PageReady());
    auto topBand = [&] { return static_cast<int>(GetRValue(BrowserPixel(200, 0))); };
    ASSERT_EQ(topBand(), 0);

    // On the toolbar's strip the finger moves nothing.
    int strip = view.GetHeight() - 30;
    harness.Drag(POINT{240, strip}, POINT{240, strip - 200}, 10);
    EXPECT_EQ(topBand(), 0);

    // Five steps of 20 pixels up: the page follows by 100, then runs on by 19 + 18 + ...
    harness.Drag(POINT{240, 400}, POINT{240, 300}, 5);
    EXPECT_EQ(topBand(), 10);
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.App().Scrolling().TimerId() == 0; }, 3000));
    EXPECT_EQ(topBand(), (100 + 190) / 10);
}

} // namespace
