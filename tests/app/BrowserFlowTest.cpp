// Whole navigations through the browser view on the fixture site: a search address is
// cancelled, converted by a worker and shown; links in the shown page lead to the next
// converted page or to a play list; an address no rule knows ends in a message; the
// program's end stops workers in flight.

#include "BrowserHarness.h"
#include "WindowFinger.h"

#include "app/PlayListWnd.h"
#include "platform/inet/WinInet.h"
#include "platform/window/WindowApi.h"
#include "support/FixtureSite.h"
#include "support/RawServer.h"
#include "support/ScopedEnvironment.h"
#include "toolkit/MessageBoxWnd.h"
#include "toolkit/ProgressDialog.h"
#include "toolkit/ToolkitMessages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>

namespace {

const wchar_t* const Search = L"http://so.youku.com/search_video/q_%e5%8a%9f%e5%a4%ab";

class BrowserFlowTest : public ::testing::Test {
protected:
    FixtureSite site;
    BrowserHarness harness;
    BrowserWnd& view = harness.View();
};

TEST_F(BrowserFlowTest, ASearchIsInterceptedConvertedAndShownAndItsLinksLeadOn) {
    const std::wstring albums = L"http://so.youku.com/search_playlist/q_%e5%8a%9f%e5%a4%ab";
    ASSERT_TRUE(view.Navigate(albums));
    EXPECT_EQ(view.StartedWorkers(), 1) << "cancelled and handed to exactly one worker";
    EXPECT_EQ(view.PendingAddress(), albums);
    EXPECT_TRUE(view.ShownPage().empty()) << "nothing of the web address is loaded";
    ASSERT_TRUE(harness.WaitForPage());
    std::wstring first = view.CurrentPagePath();
    EXPECT_EQ(first.rfind(L"\\Quillora\\temp\\", 0), 0u);
    EXPECT_EQ(view.ShownPage(), first);
    EXPECT_TRUE(std::filesystem::exists(site.Root().HostOf(first)));
    EXPECT_EQ(view.StartedWorkers(), 1) << "the local page passed without a worker";
    harness.Screenshot("browser-youku-albums");

    // An album, found where the page lays it out, opens the album's own page.
    std::optional<POINT> album = harness.LinkOnScreen(L"playlist_show/id_1234567");
    ASSERT_TRUE(album);
    harness.Tap(*album);
    ASSERT_TRUE(harness.WaitForPage());
    EXPECT_EQ(view.StartedWorkers(), 2);
    EXPECT_NE(view.ShownPage(), first);
    EXPECT_EQ(view.ShownPage(), view.CurrentPagePath());
    harness.Screenshot("browser-youku-album");

    view.GoBack();
    harness.Pump();
    EXPECT_EQ(view.ShownPage(), first);
}

// A root-relative link of a local page leads to a missing device file: the control
// keeps the page, and the finger may scroll it again.
TEST_F(BrowserFlowTest, ALinkToAMissingFileKeepsThePageScrollable) {
    ASSERT_TRUE(view.Navigate(Search));
    ASSERT_TRUE(harness.WaitForPage());
    std::wstring page = view.ShownPage();
    std::optional<POINT> tab = harness.LinkOnScreen(L"/search_playlist/");
    ASSERT_TRUE(tab);
    harness.Tap(*tab);
    harness.Pump();
    EXPECT_EQ(view.StartedWorkers(), 1) << "a device path";
    EXPECT_EQ(view.ShownPage(), page);
    EXPECT_TRUE(view.PageReady());
    EXPECT_TRUE(harness.PumpUntil([] { return RunningProgressDialogs() == 0; })) << "the error closed the dialog";
}

TEST_F(BrowserFlowTest, AVideoLinkWritesThePlayListAndOpensItsWindowOverTheView) {
    ASSERT_TRUE(view.Navigate(Search));
    ASSERT_TRUE(harness.WaitForPage());
    std::wstring page = view.ShownPage();
    std::optional<POINT> video = harness.LinkOnScreen(L"v_show/id_XMTIzNDU2Nzg");
    ASSERT_TRUE(video);
    // The play-list window runs modally inside the pump; "返回" ends it.
    PressWhenShown back(L"PlayListWnd", PlayListWnd::ToolbarId, PlayListWnd::BackButton);
    harness.Tap(*video);
    ASSERT_TRUE(
        harness.PumpUntil([&] { return view.PlaylistRequests() == 1 && back.Window() && !IsWindow(back.Window()); }));
    EXPECT_EQ(back.Parent(), view.GetHwnd());
    EXPECT_TRUE(harness.WaitForPage()) << "the page shown before may be scrolled again";
    EXPECT_TRUE(std::filesystem::exists(site.Root().Host("Quillora/Data/video.m3u")));
    EXPECT_EQ(view.ShownPage(), page);
}

TEST_F(BrowserFlowTest, AnAddressNoRuleKnowsEndsInAMessageAndThePageIsReadyAgain) {
    std::mutex lock;
    std::wstring shown;
    HWND box = nullptr;
    LPARAM ok = 0;
    MessageBoxWnd::SetShownObserver([&](MessageBoxWnd& window) {
        RECT place = window.Button(0)->WindowRect();
        std::lock_guard guard(lock);
        shown = window.Text() + L"|" + window.Caption();
        box = window.GetHwnd();
        ok = MAKELPARAM((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    });
    ASSERT_TRUE(view.Navigate(L"http://nowhere.example.com/what"));
    EXPECT_FALSE(view.PageReady());
    ASSERT_TRUE(harness.PumpUntil([&] {
        std::lock_guard guard(lock);
        return box != nullptr;
    }));
    EXPECT_FALSE(view.PageReady()) << "not before the message is answered";
    {
        std::lock_guard guard(lock);
        EXPECT_EQ(shown, L"页面解析失败！|错误");
        EXPECT_EQ(GetParent(box), view.GetHwnd()) << "owned by the browser view";
        SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, ok);
        SendMessageW(box, WM_LBUTTONUP, 0, ok);
    }
    EXPECT_TRUE(harness.WaitForPage());
    MessageBoxWnd::SetShownObserver(nullptr);
}

// A video the parse server does not know: the user is told, no play list comes, and the
// page may be scrolled again.
TEST_F(BrowserFlowTest, AVideoThatCannotBeResolvedLeavesThePageReadyAgain) {
    ASSERT_TRUE(view.Navigate(Search));
    ASSERT_TRUE(harness.WaitForPage());
    std::mutex lock;
    std::vector<std::wstring> told;
    MessageBoxWnd::SetShownObserver([&](MessageBoxWnd& box) {
        {
            std::lock_guard guard(lock);
            told.push_back(box.Text());
        }
        PostMessageW(box.GetHwnd(), MessageBoxWnd::CloseMessage, 0, 1);
    });
    ASSERT_TRUE(view.Navigate(L"http://v.youku.com/v_show/id_XNOTKNOWN=.html"));
    EXPECT_FALSE(view.PageReady());
    EXPECT_TRUE(harness.WaitForPage());
    MessageBoxWnd::SetShownObserver(nullptr);
    EXPECT_EQ(view.PlaylistRequests(), 0);
    std::lock_guard guard(lock);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(std::count(told.begin(), told.end(), L"页面解析失败！"), 0) << "a playback failure, not a page's";
}

// The toolbar: home puts the main window back with its caption and stops the finger
// until the next page; back and forward let it scroll again.
TEST_F(BrowserFlowTest, HomeShowsTheMainWindowAndBackLetsTheFingerScrollAgain) {
    ASSERT_TRUE(view.Navigate(Search));
    ASSERT_TRUE(harness.WaitForPage());
    ASSERT_TRUE(view.PageReady());
    view.OnFtCommand(BrowserWnd::ToolbarId, BrowserWnd::HomeButton);
    harness.Pump();
    EXPECT_FALSE(IsWindowVisible(view.GetHwnd()));
    EXPECT_FALSE(view.PageReady());
    wchar_t caption[64] = {};
    GetWindowTextW(harness.App().Main().GetHwnd(), caption, 64);
    EXPECT_STREQ(caption, L"Quillora");
    view.OnFtCommand(BrowserWnd::ToolbarId, BrowserWnd::BackButton);
    harness.Pump();
    EXPECT_TRUE(view.PageReady());
}

TEST_F(BrowserFlowTest, SeveralWorkersInFlightEachEndAndTheLastPageIsShown) {
    const wchar_t* const addresses[] = {
        Search,
        L"http://so.youku.com/search_playlist/q_%e5%8a%9f%e5%a4%ab",
        L"http://www.youku.com/v_showlist/c85.html",
    };
    for (const wchar_t* address : addresses)
        ASSERT_TRUE(view.Navigate(address));
    EXPECT_EQ(view.StartedWorkers(), 3);
    ASSERT_TRUE(harness.PumpUntil([&] { return view.RunningWorkers() == 0; }));
    // The last page written is handed to the control's thread and shown from there.
    EXPECT_TRUE(harness.PumpUntil([&] { return view.ShownPage() == view.CurrentPagePath(); }));
    EXPECT_TRUE(view.PageReady());
}

// The program's end while a provider does not answer: the transfer is aborted, the
// download's message box and the failure's return 0 at once, the worker ends in time.
TEST(BrowserEnd, WorkersInFlightAreStoppedBeforeTheTemporaryFolderIsEmptied) {
    std::atomic<int> requests{0};
    RawServer silent([&](const RawRequest&) {
        ++requests;
        RawReply reply;
        reply.hangAfter = true;
        return reply;
    });
    TemporaryRoot root;
    WriteHostFile(root.Host("hosts"), "so.youku.com 127.0.0.1:" + std::to_string(silent.Port()) + "\n");
    ScopedEnvironment hosts("QUILLORA_HOSTS", root.Host("hosts").string());
    std::atomic<int> boxes{0};
    MessageBoxWnd::SetShownObserver([&](MessageBoxWnd&) { ++boxes; });
    {
        BrowserHarness harness;
        ASSERT_TRUE(harness.View().Navigate(Search));
        ASSERT_TRUE(harness.PumpUntil([&] { return requests.load() == 1; }));
        auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(harness.View().EndWorkers(), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
        EXPECT_TRUE(platform::TransfersAborted());
    }
    MessageBoxWnd::SetShownObserver(nullptr);
    EXPECT_EQ(boxes.load(), 0) << "no message box came up after the end";
    EXPECT_FALSE(platform::TransfersAborted()) << "the harness allows transfers again";
    std::filesystem::path temp = root.Host("Quillora/Temp");
    EXPECT_TRUE(!std::filesystem::exists(temp) || std::filesystem::is_empty(temp));
}

// The end while a worker's message box waits for an answer: the box ends with 0 and
// the worker with it, in good time.
TEST(BrowserEnd, AWorkersMessageBoxEndsWithTheProgram) {
    TemporaryRoot root;
    std::atomic<bool> shown{false};
    MessageBoxWnd::SetShownObserver([&](MessageBoxWnd&) { shown = true; });
    {
        BrowserHarness harness;
        ASSERT_TRUE(harness.View().Navigate(L"http://nowhere.example.com/what"));
        ASSERT_TRUE(harness.PumpUntil([&] { return shown.load(); }));
        auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(harness.View().EndWorkers(), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    }
    MessageBoxWnd::SetShownObserver(nullptr);
}

// At the end every page the program wrote in \Temp goes; a folder there stays.
TEST(BrowserEnd, TheTemporaryPagesGoWithTheProgram) {
    FixtureSite site;
    std::filesystem::path temp = site.Root().Host("Quillora/Temp");
    {
        BrowserHarness harness;
        std::filesystem::create_directories(temp / "kept");
        ASSERT_TRUE(harness.View().Navigate(Search));
        ASSERT_TRUE(harness.WaitForPage());
        ASSERT_TRUE(std::filesystem::exists(site.Root().HostOf(harness.View().CurrentPagePath())));
    }
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(temp))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"kept"});
}

} // namespace
