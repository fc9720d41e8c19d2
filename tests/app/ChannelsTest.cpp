// The custom channels: the reader of Channel.ini and the index keys as functions, the
// list the device image ships, and the channel window driven by a finger, with its
// message boxes recorded and the device's player scripts logging what they were given.

#include "FixtureServer.h"
#include "RecordingFeedback.h"
#include "WindowFinger.h"
#include "app/ChannelListWnd.h"
#include "convert/UrlClassifier.h"
#include "platform/text/AnsiText.h"
#include "platform/window/WindowApi.h"
#include "settings/ChannelFile.h"
#include "settings/ChannelIndex.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryRoot.h"
#include "toolkit/ToolkitMessages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

std::string Ansi(const std::wstring& text) { return platform::AnsiFromWide(text); }

// "key name path type", one channel a line.
std::wstring Described(const std::vector<ChannelEntry>& channels) {
    std::wstring text;
    for (const ChannelEntry& channel : channels)
        text += channel.key + L" " + channel.name + L" " + channel.path + L" " + std::to_wstring(channel.type) + L"\n";
    return text;
}

TEST(ChannelFile, CompleteBlocksAreReadAndEveryOtherIsDropped) {
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring channels;
    };
    const Case cases[] = {
        {"CR LF lines and a GBK name", Ansi(L"[功夫]\r\nPath=http://a/b.flv\r\nType=0\r\n"),
         L"G 功夫 http://a/b.flv 0\n"},
        {"the name runs to the last ], values to the first CR; the last line needs no LF",
         "[a]b]\nPath=http://a\rb\nType= 12\r3", L"A a]b http://a 12\n"},
        {"without a ] after the [ the name runs to the line's end", "]x[yz\r\nPath=p\nType=1", L"Y yz p 1\n"},
        {"a type before the path drops the block; the late path and type belong to none",
         "[a]\nType=0\nPath=late\nType=1\n[b]\nPath=p\nType=2\n", L"B b p 2\n"},
        {"a path holding [ starts a channel that has no path yet", "[a]\nPath=http://h/[1].flv\nType=0\n", L""},
        {"a path and a type without a name line", "Path=p\nType=0\n", L""},
        {"an empty path", "[a]\nPath=\r\nType=0\n", L""},
        {"a path line holding Type= is a path line", "[a]\nPath=http://h/?Type=2\nType=-1\n",
         L"A a http://h/?Type=2 -1\n"},
        {"a later path replaces an earlier one; other lines count for nothing",
         "; mine\n[5 x]\n  Path=one\nname=z\nPath=two\nType=x\n", L"X 5 x two 0\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Described(ParseChannelFile(c.bytes)), c.channels) << c.what;
}

// Re-reading the file from its start for each line would not finish before the watchdog.
TEST(ChannelFile, LongFilesAndLongLinesAreReadInOnePass) {
    std::string bytes;
    for (int line = 0; line < 500000; ++line)
        bytes += "[a\n";
    bytes += "Path=p\nType=0\n" + std::string(2 << 20, '[') + "\n" + std::string(2 << 20, ']');
    EXPECT_EQ(Described(ParseChannelFile(bytes)), L"A a p 0\n");
}

TEST(ChannelIndex, EachInitialRunsFromTheFirstCharacterOfItsReadingsToTheLast) {
    const std::wstring letters = L"ABCDEFGHJKLMNOPQRSTWXYZ";
    const std::wstring firsts = L"啊芭擦搭蛾发噶哈击喀垃妈拿哦啪期然撒塌挖昔压匝";
    const std::wstring lasts = L"澳怖错堕贰咐过祸骏阔络穆诺沤瀑群弱所唾误迅孕座";
    ASSERT_EQ(firsts.size(), letters.size());
    for (std::size_t i = 0; i < letters.size(); ++i) {
        EXPECT_EQ(IndexKey(firsts.substr(i, 1)), letters.substr(i, 1)) << i;
        EXPECT_EQ(IndexKey(lasts.substr(i, 1)), letters.substr(i, 1)) << i;
    }
}

TEST(ChannelIndex, TheKeyIsTheFirstInitialAnyCharacterOfTheNameGives) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"News5", L"N"}, {L"news", L"N"},       {L"5 Live", L"L"}, {L"123", L""},
        {L"", L""},       {L"《少林寺》", L"S"}, // GB2312's punctuation gives nothing
        {L"亍x", L"X"},                          // nor does a second-level character
        {L"Ωmega", L"M"}, {L"功夫 Panda", L"G"},
    };
    for (const auto& [name, key] : cases)
        EXPECT_EQ(IndexKey(name), key) << name;
    EXPECT_EQ(IndexKeyOfAnsi("\xB0"), L"") << "a lead byte without its trail byte";
    EXPECT_EQ(IndexKeyOfAnsi("\xB0\xA1"), L"A");
}

std::string HostOf(const std::wstring& address) {
    std::string narrow(address.begin(), address.end());
    std::size_t start = narrow.rfind("http://", 0) == 0 ? 7 : 0;
    return narrow.substr(start, narrow.find('/', start) - start);
}

TEST(ChannelFile, TheShippedChannelsAreGbkAndLeadToHostsTheDemoServes) {
    TemporaryRoot root;
    std::vector<ChannelEntry> channels = ParseChannelFile(ReadHostFile(root.Host("Quillora/Data/Channel.ini")));
    std::set<int> types;
    std::set<std::wstring> keys;
    const std::vector<std::string>& hosts = FixtureHosts();
    for (const ChannelEntry& channel : channels) {
        types.insert(channel.type);
        keys.insert(channel.key);
        EXPECT_NE(std::find(hosts.begin(), hosts.end(), HostOf(channel.path)), hosts.end()) << channel.path;
        if (channel.type == PageChannel) {
            EXPECT_TRUE(RouteFor(channel.path)) << channel.path;
        }
    }
    EXPECT_EQ(types, (std::set<int>{VideoChannel, MusicChannel, PageChannel}));
    EXPECT_GE(keys.size(), 8u);
    auto kungfu = std::find_if(channels.begin(), channels.end(), [](const auto& c) { return c.name == L"功夫"; });
    ASSERT_NE(kungfu, channels.end());
    EXPECT_EQ(kungfu->key, L"G");
}

constexpr UINT RunInLoop = WM_USER + 40; // lParam: a std::function<void()>* to call in the loop

class ScriptedChannelListWnd : public ChannelListWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == RunInLoop) {
            (*reinterpret_cast<std::function<void()>*>(lParam))();
            return 0;
        }
        return ChannelListWnd::WindowProc(message, wParam, lParam);
    }
};

class ChannelListTest : public ::testing::Test {
protected:
    static constexpr int ListTop = 42, RowHeight = 70, ListHeight = 720 - 107, ToolbarMiddle = 720 - 65 / 2;
    static constexpr int OpenX = 420, BackX = 60, IndexBarX = 455;

    void Given(const std::wstring& text) { WriteHostFile(root.Host("Quillora/Data/Channel.ini"), Ansi(text)); }
    // Web channels named Alpha to Sierra, with 功夫 before Golf under G and 123 without a key.
    void GivenTwentyChannels() {
        std::wstring text;
        for (const wchar_t* name :
             {L"Alpha",   L"Bravo", L"123",  L"Charlie", L"Delta", L"Echo",  L"功夫", L"Golf",   L"Hotel", L"India",
              L"Juliett", L"Kilo",  L"Lima", L"Mike",    L"News5", L"Oscar", L"Papa", L"Quebec", L"Romeo", L"Sierra"})
            text += L"[" + std::wstring(name) + L"]\r\nPath=http://6.cn/videos/\r\nType=2\r\n\r\n";
        Given(text);
    }
    void Open(ChannelListWnd& window) {
        window.SetFeedback(&feedback);
        ASSERT_TRUE(window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0));
        Pump();
    }
    static void RunLater(ChannelListWnd& window, std::function<void()>& code) {
        window.Post(RunInLoop, 0, reinterpret_cast<LPARAM>(&code));
    }
    static void Pump() { PumpMessages(); }
    static void Mouse(CFtWnd& window, UINT message, int x, int y) { SendMouse(window, message, x, y); }
    static void Tap(CFtWnd& window, int x, int y) { TapWindow(window, x, y); }
    static void DoubleTap(CFtWnd& window, int x, int y) { DoubleTapWindow(window, x, y); }
    static int RowMiddle(int row) { return ListTop + row * RowHeight + RowHeight / 2; }
    // The middle of the letter's cell on the index bar.
    static int LetterMiddle(wchar_t letter) { return ListTop + 6 + ((letter - L'A') * 2 + 1) * (ListHeight - 12) / 52; }
    static bool OpenEnabled(ChannelListWnd& window) {
        return window.Toolbar().IsButtonEnabled(ChannelListWnd::OpenButton);
    }
    // The player log once it has `lines` lines, or what it has after a few seconds.
    std::string PlayerLog(std::size_t lines) {
        std::string log;
        for (int i = 0; i < 500; ++i) {
            log = ReadHostFile(root.Host("Windows/player.log"));
            if (static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n')) >= lines)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return log;
    }

    TemporaryRoot root;
    ScopedEnvironment noPlayer{"QUILLORA_NO_PLAYER", "1"};
    RecordingFeedback feedback;
};

TEST_F(ChannelListTest, AWebChannelEndsTheWindowWith1AndHandsBackItsAddress) {
    const std::wstring search = L"http://so.youku.com/search_video/q_%e5%8a%9f%e5%a4%ab";
    Given(L"[Radio]\r\nPath=http://6.cn/mp3/r.mp3\r\nType=1\r\n[功夫]\r\nPath=" + search + L"\r\nType=2\r\n");
    ScriptedChannelListWnd window;
    Open(window);
    std::function<void()> doubleTap = [&] { DoubleTap(window, 100, RowMiddle(1)); };
    RunLater(window, doubleTap);
    EXPECT_EQ(window.DoModal(), 1);
    EXPECT_EQ(window.ResultPath(), search);
    EXPECT_TRUE(feedback.boxes.empty());
    EXPECT_FALSE(std::filesystem::exists(root.Host("Windows/player.log")));
}

TEST_F(ChannelListTest, AStreamChannelStartsItsPlayerAndTheWindowStaysOpen) {
    Given(L"[News5]\r\nPath=http://6.cn/flv/news5.flv\r\nType=0\r\n[Radio]\r\nPath=http://6.cn/mp3/r.mp3\r\nType=1\r\n"
          L"[Later]\r\nPath=http://6.cn/flv/later.flv\r\nType=7\r\n");
    ScriptedChannelListWnd window;
    Open(window);
    bool stillOpen = false;
    std::function<void()> play = [&] {
        DoubleTap(window, 100, RowMiddle(0));
        EXPECT_EQ(PlayerLog(1), "FtVideo.exe http://6.cn/flv/news5.flv\n");
        Tap(window, 100, RowMiddle(1));
        Tap(window, OpenX, ToolbarMiddle);
        DoubleTap(window, 100, RowMiddle(2)); // a type no one knows does nothing
        stillOpen = window.IsModalRunning();
        Tap(window, BackX, ToolbarMiddle);
    };
    RunLater(window, play);
    EXPECT_EQ(window.DoModal(), 2);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(PlayerLog(2), "FtVideo.exe http://6.cn/flv/news5.flv\nFtMusic.exe http://6.cn/mp3/r.mp3\n");
    EXPECT_TRUE(window.ResultPath().empty());
    EXPECT_TRUE(feedback.boxes.empty());
}

TEST_F(ChannelListTest, APlayerThatDoesNotStartIsReportedOverTheWindow) {
    std::filesystem::remove(root.Host("Windows/FtMusic.exe"));
    Given(L"[Radio]\r\nPath=http://6.cn/mp3/r.mp3\r\nType=1\r\n");
    ChannelListWnd window;
    Open(window);
    DoubleTap(window, 100, RowMiddle(0));
    EXPECT_EQ(feedback.boxes, (std::vector<std::wstring>{L"内置播放器启动失败！ / 错误 / 0"}));
    EXPECT_EQ(feedback.owners, (std::vector<HWND>{window.GetHwnd()}));
    EXPECT_TRUE(window.ResultPath().empty());
}

TEST_F(ChannelListTest, AMissingFileGivesAnEmptyList) {
    std::filesystem::remove(root.Host("Quillora/Data/Channel.ini"));
    ChannelListWnd window;
    Open(window);
    EXPECT_EQ(window.List().GetItemCount(), 0);
    Tap(window, IndexBarX, LetterMiddle(L'A'));
    EXPECT_FALSE(OpenEnabled(window));
}

TEST_F(ChannelListTest, OpenFollowsTheChosenRowAndNeitherASlideNorAStoppedGlideChoosesOne) {
    GivenTwentyChannels();
    ChannelListWnd window;
    Open(window);
    EXPECT_FALSE(OpenEnabled(window));
    Tap(window, 100, RowMiddle(0));
    EXPECT_EQ(window.List().GetSelectedIndex(), 0);
    EXPECT_TRUE(OpenEnabled(window));

    Mouse(window, WM_LBUTTONDOWN, 100, RowMiddle(2));
    EXPECT_EQ(window.List().GetSelectedIndex(), 2) << "chosen as the finger comes down";
    // A flick: the rows follow the finger and glide on after it.
    for (int y = RowMiddle(2) - 40; y >= RowMiddle(2) - 200; y -= 40) {
        Mouse(window, WM_MOUSEMOVE, 100, y);
        EXPECT_EQ(window.List().GetSelectedIndex(), -1);
        EXPECT_FALSE(OpenEnabled(window));
    }
    Mouse(window, WM_LBUTTONUP, 100, RowMiddle(2) - 200);
    ASSERT_TRUE(window.List().IsScrolling());
    Tap(window, 100, RowMiddle(3));
    EXPECT_EQ(window.List().GetSelectedIndex(), -1) << "the press that stopped the glide";
    EXPECT_FALSE(OpenEnabled(window));
}

TEST_F(ChannelListTest, TheIndexBarBringsTheFirstChannelOfTheLetterToTheTop) {
    GivenTwentyChannels();
    ChannelListWnd window;
    Open(window);
    auto topRow = [&] { return window.List().HitTestItem(0); };
    Tap(window, IndexBarX, LetterMiddle(L'G'));
    EXPECT_EQ(topRow(), 6) << "功夫, the first of the two under G";
    Tap(window, IndexBarX, LetterMiddle(L'Z'));
    EXPECT_EQ(topRow(), 6) << "no channel under Z: nothing moves";
    Tap(window, IndexBarX, LetterMiddle(L'B'));
    EXPECT_EQ(topRow(), 1);
    Tap(window, IndexBarX, LetterMiddle(L'S'));
    EXPECT_EQ(window.List().GetTopPos(), ListHeight - 20 * RowHeight) << "the last rows fill the list, no space below";
    EXPECT_EQ(window.List().GetSelectedIndex(), -1) << "the bar chooses no row";
}

} // namespace
