// The main window's search: the term's encoding and the providers' addresses as
// functions, then the window itself driven by a finger and the settings file, with its
// message boxes recorded and no browser view behind it.

#include "app/MainWnd.h"
#include "RecordingFeedback.h"
#include "WindowFinger.h"
#include "app/ProviderList.h"
#include "app/SearchTerm.h"
#include "app/SettingWnd.h"
#include "convert/UrlClassifier.h"
#include "platform/window/WindowApi.h"
#include "support/IniBytes.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryRoot.h"
#include "toolkit/ToolkitMessages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(SearchTerm, KeepsLettersAndDigitsAndEscapesEveryOtherUtf8ByteInLowerCase) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"", L""},
        {L"AZaz09", L"AZaz09"},
        {L"a b", L"a+b"},
        {L"   ", L"+++"},
        {L"x.y", L"x%2ey"},
        // Nothing is spared as "safe in an address", the plus and the percent sign least of all.
        {L"-_.~*", L"%2d%5f%2e%7e%2a"},
        {L"C++ 100%", L"C%2b%2b+100%25"},
        {L"中", L"%e4%b8%ad"},
        {L"功夫 Panda", L"%e5%8a%9f%e5%a4%ab+Panda"},
    };
    for (const auto& [text, encoded] : cases)
        EXPECT_EQ(EncodeSearchTerm(text), encoded) << "text: " << text;
}

TEST(ProviderTable, ASearchIsTheModesPrefixAndTheTermEncodedExceptOn56) {
    const std::vector<ProviderEntry> table = ProviderTable();
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table[2].name, L"56网");
    struct Case {
        int row, mode;
        const wchar_t* text;
        const wchar_t* address;
    };
    const Case cases[] = {
        {0, VideoSearch, L"a b", L"http://so.youku.com/search_video/q_a+b"},
        {0, AlbumSearch, L"a b", L"http://so.youku.com/search_playlist/q_a+b"},
        {1, VideoSearch, L"中", L"http://so.tudou.com/isearch/%e4%b8%ad"},
        {1, AlbumSearch, L"a b", L"http://so.tudou.com/psearch/a+b"},
        {2, VideoSearch, L"功夫 a", L"http://so.56.com/index?key=功夫 a"},
        {2, AlbumSearch, L"中", L"http://so.56.com/index?type=album&key=中"},
        {3, VideoSearch, L"  ", L"http://6.cn/search.php?t=v&k=++"},
        {3, AlbumSearch, L"中", L"http://6.cn/search.php?t=p&k=%e4%b8%ad"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SearchAddress(table[c.row], c.row, c.mode, c.text), c.address) << "row " << c.row << ", " << c.text;
    EXPECT_EQ(table[1].ranking, L"http://www.tudou.com/top/");
}

// The table and the classifier name the same hosts and paths: whatever the main window
// opens is converted, and by the page kind it asked for.
TEST(ProviderTable, EveryAddressTheMainWindowOpensReachesItsConverter) {
    const std::vector<ProviderEntry> table = ProviderTable();
    ASSERT_EQ(table.size(), 4u);
    const char* routines[4][3] = {
        {"youku-search-video", "youku-search-playlist", "youku-channel"},
        {"tudou-search-video", "tudou-search-playlist", "tudou-top"},
        {"56-search-index", "56-search-index", "56-videolist"},
        {"6cn-search", "6cn-search", "6cn-videos"},
    };
    for (int row = 0; row < 4; ++row) {
        const std::wstring addresses[3] = {SearchAddress(table[row], row, VideoSearch, L"kungfu"),
                                           SearchAddress(table[row], row, AlbumSearch, L"kungfu"), table[row].ranking};
        for (int kind = 0; kind < 3; ++kind) {
            std::optional<Route> route = RouteFor(addresses[kind]);
            ASSERT_TRUE(route) << addresses[kind];
            EXPECT_EQ(route->routine, routines[row][kind]) << addresses[kind];
        }
    }
}

TEST(ProviderList, ARowsEntryGoesWithTheRow) {
    ProviderList list;
    for (ProviderEntry& entry : ProviderTable())
        list.AddProvider(std::move(entry));
    list.RemoveItem(1);
    ASSERT_EQ(list.GetItemCount(), 3);
    ASSERT_NE(list.Provider(1), nullptr);
    EXPECT_EQ(list.Provider(1)->name, L"56网");
    EXPECT_STREQ(list.GetItem(1)->text.C_Str(), L"56网");
    EXPECT_EQ(list.Provider(3), nullptr);
    list.RemoveAll();
    EXPECT_EQ(list.Provider(0), nullptr);
}

// The side windows the toolbar opens are modal: here their openings are only counted.
class ProbedMainWnd : public MainWnd {
public:
    int prompts = 0, exits = 0, channels = 0, favourites = 0;

protected:
    void OnNetworkPrompt() override { ++prompts; }
    void OnExitCommand() override { ++exits; }
    void OnChannelsCommand() override { ++channels; }
    void OnFavouritesCommand() override { ++favourites; }
};

class MainWndTest : public ::testing::Test {
protected:
    static constexpr int ListTop = 240, RowHeight = 70, ToolbarMiddle = 720 - 65 / 2;

    void Open(ProbedMainWnd& window) {
        window.SetFeedback(&feedback);
        ASSERT_TRUE(window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0));
        Pump();
    }
    static void Pump() { PumpMessages(); }
    static void Mouse(CFtWnd& window, UINT message, int x, int y) { SendMouse(window, message, x, y); }
    static void Tap(CFtWnd& window, int x, int y) { TapWindow(window, x, y); }
    static void DoubleTap(CFtWnd& window, int x, int y) { DoubleTapWindow(window, x, y); }
    static void SearchFor(MainWnd& window, const wchar_t* text) {
        window.SearchBox().SetText(text);
        SendMessageW(window.GetHwnd(), WM_FT_COMMAND, MainWnd::SearchButtonId, 0);
    }
    static int RowMiddle(int row) { return ListTop + row * RowHeight + RowHeight / 2; }

    TemporaryRoot root;
    RecordingFeedback feedback;
};

TEST_F(MainWndTest, ASearchNeedsATextAndThenANetworkBeforeItIsMade) {
    ProbedMainWnd window;
    Open(window);
    {
        ScopedEnvironment offline("QUILLORA_NETWORK_STATUS", "1");
        SearchFor(window, L"");
        SearchFor(window, L"a b");
    }
    EXPECT_EQ(feedback.boxes,
              (std::vector<std::wstring>{L"查询内容不能为空！ / 错误 / 0", L"未找到可用网络！ / 错误 / 0"}));
    EXPECT_EQ(window.SearchTitle(), L"");

    SearchFor(window, L"   ");
    EXPECT_EQ(feedback.boxes.size(), 2u) << "spaces are a text to search for";
    EXPECT_EQ(window.SearchTitle(), L"   -优酷网");
}

TEST_F(MainWndTest, TheFingerChoosesTheProviderAndADoubleTapWithoutNetworkSaysSo) {
    ProbedMainWnd window;
    Open(window);
    ASSERT_EQ(window.Providers().GetSelectedIndex(), 0);
    // Chosen as the finger comes down, before the list sees a tap.
    Mouse(window, WM_LBUTTONDOWN, 100, RowMiddle(2));
    EXPECT_EQ(window.Providers().GetSelectedIndex(), 2);
    Mouse(window, WM_LBUTTONUP, 100, RowMiddle(2));
    Tap(window, 100, ListTop + 4 * RowHeight + 10);
    EXPECT_EQ(window.Providers().GetSelectedIndex(), 2) << "below the rows nothing is chosen";

    {
        ScopedEnvironment offline("QUILLORA_NETWORK_STATUS", "1");
        DoubleTap(window, 100, RowMiddle(1));
    }
    EXPECT_EQ(window.Providers().GetSelectedIndex(), 1);
    EXPECT_EQ(feedback.boxes, (std::vector<std::wstring>{L"未找到可用网络！ / 错误 / 0"}));

    SearchFor(window, L"中文");
    EXPECT_EQ(window.SearchTitle(), L"中文-土豆网");
}

TEST_F(MainWndTest, TheToolbarLeavesNoButtonChosenExceptWhileExitIsAsked) {
    ProbedMainWnd window;
    Open(window);
    Tap(window, 180, ToolbarMiddle);
    EXPECT_EQ(window.Toolbar().GetSelected(), -1);
    EXPECT_EQ(window.channels, 1);
    Tap(window, 300, ToolbarMiddle);
    EXPECT_EQ(window.Toolbar().GetSelected(), -1);
    EXPECT_EQ(window.favourites, 1);
    EXPECT_EQ(window.exits, 0);
    Tap(window, 60, ToolbarMiddle);
    EXPECT_EQ(window.exits, 1);
    EXPECT_EQ(window.Toolbar().GetSelected(), 0);
}

TEST_F(MainWndTest, OpeningMakesTheFoldersAndPromptsForTheNetworkOnlyWhenAutoConnectIs1) {
    std::filesystem::remove_all(root.Host("Quillora/Temp"));
    std::filesystem::remove_all(root.Host("Quillora/Favorite"));
    WriteHostFile(root.Host("Quillora/Data/Setting.ini"), IniBytes(u"[Network]\r\n  IsWLAN=0\r\n  AutoConnect=0\r\n"));
    {
        ProbedMainWnd window;
        Open(window);
        EXPECT_EQ(window.AutoConnect(), 0);
        EXPECT_EQ(window.IsWlan(), 0);
        EXPECT_EQ(window.prompts, 0);
    }
    EXPECT_TRUE(std::filesystem::is_directory(root.Host("Quillora/Temp")));
    EXPECT_TRUE(std::filesystem::is_directory(root.Host("Quillora/Favorite")));

    WriteHostFile(root.Host("Quillora/Data/Setting.ini"), IniBytes(u"[Browser]\r\n  IsCache=1\r\n"));
    ProbedMainWnd window;
    Open(window);
    EXPECT_EQ(window.AutoConnect(), 1);
    EXPECT_EQ(window.IsWlan(), 1);
    EXPECT_EQ(window.prompts, 1);
}

// Only a confirmed settings window reads the network settings again, and asks for the
// network when auto connect is then 1.
TEST_F(MainWndTest, ConfirmedSettingsAskForTheNetworkWhenAutoConnectIs1) {
    WriteHostFile(root.Host("Quillora/Data/Setting.ini"), IniBytes(u"[Network]\r\n  AutoConnect=0\r\n"));
    ProbedMainWnd window;
    Open(window);
    auto settings = [&](SettingWnd::ToolbarButton button) {
        PressWhenShown press(L"SettingWnd", SettingWnd::ToolbarId, button);
        Tap(window, 420, ToolbarMiddle);
        Pump();
        EXPECT_EQ(press.Parent(), window.GetHwnd());
        EXPECT_EQ(window.Toolbar().GetSelected(), -1);
    };
    settings(SettingWnd::ConfirmButton);
    EXPECT_EQ(window.prompts, 0);
    // As the network window would leave it, behind the main window's back.
    WriteHostFile(root.Host("Quillora/Data/Setting.ini"), IniBytes(u"[Network]\r\n  AutoConnect=1\r\n"));
    settings(SettingWnd::CancelButton);
    EXPECT_EQ(window.prompts, 0);
    EXPECT_EQ(window.AutoConnect(), 0) << "a cancelled window reads nothing";
    settings(SettingWnd::ConfirmButton);
    EXPECT_EQ(window.prompts, 1);
    EXPECT_EQ(window.AutoConnect(), 1);
}

// The exit question: "no" leaves the program running with no button chosen, "yes" ends
// its loop.
TEST_F(MainWndTest, TheExitQuestionEndsTheLoopOnlyOnYes) {
    MainWnd window;
    window.SetFeedback(&feedback);
    ASSERT_TRUE(window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0));
    Pump();
    // The toolbar's press and release, then the loop's messages: whether it was told to end.
    auto exitEndsTheLoop = [&] {
        Mouse(window, WM_LBUTTONDOWN, 60, ToolbarMiddle);
        Mouse(window, WM_LBUTTONUP, 60, ToolbarMiddle);
        bool quit = false;
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            if (message.message == WM_QUIT)
                quit = true;
            else
                DispatchMessageW(&message);
        }
        return quit;
    };
    feedback.answer = ResultNo;
    EXPECT_FALSE(exitEndsTheLoop());
    EXPECT_EQ(feedback.boxes, (std::vector<std::wstring>{L"是否退出软件？ /  / 4"}));
    EXPECT_EQ(feedback.owners, (std::vector<HWND>{window.GetHwnd()}));
    EXPECT_EQ(window.Toolbar().GetSelected(), -1);
    feedback.answer = ResultYes;
    EXPECT_TRUE(exitEndsTheLoop());
    EXPECT_EQ(feedback.boxes.size(), 2u);
}

} // namespace
