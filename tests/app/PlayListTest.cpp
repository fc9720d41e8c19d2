// The play list: video.m3u read back as a function, and the play-list window driven by a
// finger, with the device's video player told to "play" for a moment and logging when
// it started and ended.

#include "RecordingFeedback.h"
#include "WindowFinger.h"
#include "app/PlayListWnd.h"
#include "playback/PlaylistFile.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryRoot.h"
#include "toolkit/ToolkitMessages.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// "duration|title|address", one entry a line.
std::wstring Described(const std::vector<PlaylistEntry>& entries) {
    std::wstring text;
    for (const PlaylistEntry& entry : entries)
        text += entry.duration + L"|" + entry.title + L"|" + entry.address + L"\n";
    return text;
}

TEST(PlaylistFile, EntriesAreTheExtinfLinesCompletedByTheirAddresses) {
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring entries;
    };
    const std::string three = "#EXTM3U\n#EXTINF:0,One\nhttp://h/1.flv\n#EXTINF:0,Two, too\nhttp://h/2.flv\n"
                              "#EXTINF:0,Three\nhttp://h/3.flv\n";
    const std::wstring threeRead = L"0|One|http://h/1.flv\n0|Two, too|http://h/2.flv\n0|Three|http://h/3.flv\n";
    std::string threeCrLf;
    for (char c : three)
        threeCrLf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const Case cases[] = {
        {"three pairs, titled after the first comma", three, threeRead},
        {"CR LF lines read the same", threeCrLf, threeRead},
        {"a device path is an address; empty lines count for nothing",
         "#EXTINF:12,Local\n\n\n\\Storage Card\\a.flv\r\n", L"12|Local|\\Storage Card\\a.flv\n"},
        {"an address before any entry, and a second one after an entry, belong to none",
         "http://h/stray.flv\n#EXTINF:0,A\nhttp://h/a.flv\nhttp://h/again.flv\n", L"0|A|http://h/a.flv\n"},
        {"an entry without an address, then one that has it: the later entry gets it",
         "#EXTINF:0,Lost\n#EXTINF:0,Kept\nhttp://h/k.flv", L"0|Kept|http://h/k.flv\n"},
        {"other schemes, and lines that only contain an address, are no address lines",
         "#EXTINF:0,A\nrtsp://h/a\n  http://h/a\nhttp://h/a.flv\n", L"0|A|http://h/a.flv\n"},
        {"no comma: a duration and no title", "#EXTINF:5\nhttp://h/a\n", L"5||http://h/a\n"},
        {"a GBK title", "#EXTINF:0,\xB9\xA6\xB7\xF2\nhttp://h/a\n", L"0|功夫|http://h/a\n"},
        {"nothing", "", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Described(ParsePlaylist(c.bytes)), c.entries) << c.what;
}

class PlayListTest : public ::testing::Test {
protected:
    static constexpr int RowHeight = 70, ListTop = 42, ToolbarMiddle = 720 - 65 / 2;
    static constexpr int BackX = 80, ContinuousX = 240, PlayX = 400;

    static int RowMiddle(int row) { return ListTop + row * RowHeight + RowHeight / 2; }
    void GivenParts(int count) {
        std::string text = "#EXTM3U\n";
        for (int part = 1; part <= count; ++part)
            text += "#EXTINF:0,Part " + std::to_string(part) + "\r\nhttp://h/" + std::to_string(part) + ".flv\r\n";
        WriteHostFile(root.Host("Quillora/Data/video.m3u"), text);
    }
    void Open(PlayListWnd& window) {
        window.SetFeedback(&feedback);
        ASSERT_TRUE(window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0));
        PumpMessages();
    }
    std::string PlayerLog() { return ReadHostFile(root.Host("Windows/player.log")); }
    // Pumps until the condition holds or `seconds` have passed.
    static bool PumpUntil(const std::function<bool()>& done, int seconds) {
        for (auto giveUp = Clock::now() + std::chrono::seconds(seconds); Clock::now() < giveUp;) {
            PumpMessages();
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    static std::wstring MiddleText(PlayListWnd& window) {
        return window.Toolbar().GetButtonText(PlayListWnd::ContinuousButton);
    }

    TemporaryRoot root;
    ScopedEnvironment noPlayer{"QUILLORA_NO_PLAYER", "1"};
    RecordingFeedback feedback;
};

TEST_F(PlayListTest, PlayWaitsForATouchedRowAndADoubleTapPlaysAtOnce) {
    GivenParts(3);
    PlayListWnd window;
    Open(window);
    ASSERT_EQ(window.List().GetItemCount(), 3);
    EXPECT_EQ(window.List().GetItem(1)->text.C_Str(), std::wstring(L"Part 2"));
    EXPECT_FALSE(window.Toolbar().IsButtonEnabled(PlayListWnd::PlayButton));
    TapWindow(window, PlayX, ToolbarMiddle);
    EXPECT_FALSE(std::filesystem::exists(root.Host("Windows/player.log"))) << "no row touched yet";

    SendMouse(window, WM_LBUTTONDOWN, 100, RowMiddle(2));
    EXPECT_EQ(window.List().GetSelectedIndex(), 2) << "chosen as the finger comes down";
    EXPECT_TRUE(window.Toolbar().IsButtonEnabled(PlayListWnd::PlayButton));
    SendMouse(window, WM_LBUTTONUP, 100, RowMiddle(2));
    TapWindow(window, PlayX, ToolbarMiddle);
    // Each player writes its line on its own time: the second starts once the first has.
    const std::size_t line = std::string("FtVideo.exe http://h/1.flv\n").size();
    ASSERT_TRUE(PumpUntil([&] { return PlayerLog().size() >= line; }, 10));
    DoubleTapWindow(window, 100, RowMiddle(0));
    ASSERT_TRUE(PumpUntil([&] { return PlayerLog().size() >= 2 * line; }, 10));
    EXPECT_EQ(PlayerLog(), "FtVideo.exe http://h/3.flv\nFtVideo.exe http://h/1.flv\n");
    EXPECT_TRUE(feedback.boxes.empty());
    EXPECT_TRUE(IsWindow(window.GetHwnd())) << "the window stays";
}

// Each "start <ms>" and "end <ms>" the player noted, with the address it was given.
struct PlayedPart {
    std::string address;
    long long start = 0, end = 0;
};

std::vector<PlayedPart> PlayedParts(const std::string& log) {
    std::vector<PlayedPart> parts;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("FtVideo.exe start ", 0) == 0 && !parts.empty())
            parts.back().start = std::stoll(line.substr(18));
        else if (line.rfind("FtVideo.exe end ", 0) == 0 && !parts.empty())
            parts.back().end = std::stoll(line.substr(16));
        else if (line.rfind("FtVideo.exe ", 0) == 0)
            parts.push_back(PlayedPart{line.substr(12)});
    }
    return parts;
}

TEST_F(PlayListTest, ContinuousPlayFromTheSecondRowPlaysTheRestWithAPauseAfterEach) {
    GivenParts(3);
    ScopedEnvironment timed{"QUILLORA_PLAYER_SECONDS", "0.3"};
    PlayListWnd window;
    Open(window);
    TapWindow(window, 100, RowMiddle(1));
    // The first part plays while the window waits for it; the pause before the next follows.
    TapWindow(window, ContinuousX, ToolbarMiddle);
    EXPECT_TRUE(window.IsContinuous());
    EXPECT_TRUE(window.ContinuePending());
    EXPECT_EQ(MiddleText(window), L"停止");
    EXPECT_EQ(window.List().GetSelectedIndex(), 2) << "the next part waits, selected";

    ASSERT_TRUE(PumpUntil([&] { return !window.IsContinuous(); }, 10));
    EXPECT_EQ(MiddleText(window), L"连续播放");
    EXPECT_EQ(window.List().GetSelectedIndex(), -1);
    EXPECT_FALSE(window.Toolbar().IsButtonEnabled(PlayListWnd::PlayButton)) << "no row chosen any more";
    EXPECT_FALSE(window.ContinuePending());
    std::vector<PlayedPart> parts = PlayedParts(PlayerLog());
    ASSERT_EQ(parts.size(), 2u) << PlayerLog();
    EXPECT_EQ(parts[0].address, "http://h/2.flv");
    EXPECT_EQ(parts[1].address, "http://h/3.flv");
    long long pause = parts[1].start - parts[0].end;
    EXPECT_GE(pause, 2900) << "the pause after the first part";
    EXPECT_LE(pause, 4500);
    EXPECT_TRUE(feedback.boxes.empty());
}

// In the pause before the next part, the middle button stops continuous play and "返回"
// ends the window: either way no part plays after.
TEST_F(PlayListTest, StoppingOrLeavingDuringThePausePlaysNothingMore) {
    GivenParts(2);
    ScopedEnvironment timed{"QUILLORA_PLAYER_SECONDS", "0.1"};
    PlayListWnd stopped;
    Open(stopped);
    TapWindow(stopped, ContinuousX, ToolbarMiddle);
    ASSERT_TRUE(stopped.ContinuePending()) << "no row chosen: the first played";
    TapWindow(stopped, ContinuousX, ToolbarMiddle);
    EXPECT_FALSE(stopped.IsContinuous());
    EXPECT_FALSE(stopped.ContinuePending());
    EXPECT_EQ(MiddleText(stopped), L"连续播放");

    PlayListWnd left;
    Open(left);
    TapWindow(left, ContinuousX, ToolbarMiddle);
    ASSERT_TRUE(left.ContinuePending());
    left.Post(WM_FT_COMMAND, PlayListWnd::ToolbarId, PlayListWnd::BackButton);
    EXPECT_EQ(left.DoModal(), 2);
    EXPECT_FALSE(left.ContinuePending());

    EXPECT_FALSE(PumpUntil([&] { return PlayedParts(PlayerLog()).size() > 2; }, 4)) << PlayerLog();
    for (const PlayedPart& part : PlayedParts(PlayerLog()))
        EXPECT_EQ(part.address, "http://h/1.flv");
}

TEST_F(PlayListTest, AnEmptyListStopsAtOnceAndAFailedStartIsReportedAndStops) {
    std::filesystem::remove(root.Host("Quillora/Data/video.m3u"));
    {
        PlayListWnd window;
        Open(window);
        EXPECT_EQ(window.List().GetItemCount(), 0);
        TapWindow(window, ContinuousX, ToolbarMiddle);
        EXPECT_FALSE(window.IsContinuous());
        EXPECT_EQ(MiddleText(window), L"连续播放");
        TapWindow(window, PlayX, ToolbarMiddle);
        EXPECT_FALSE(std::filesystem::exists(root.Host("Windows/player.log")));
    }
    GivenParts(2);
    std::filesystem::remove(root.Host("Windows/FtVideo.exe"));
    // The browser view's part: the window that opens the play list owns its messages.
    PlayListWnd view;
    Open(view);
    PlayListWnd window;
    window.SetFeedback(&feedback);
    ASSERT_TRUE(window.Create(0, 0, 480, 720, view.GetHwnd(), nullptr, WS_POPUP, 0));
    PumpMessages();
    TapWindow(window, ContinuousX, ToolbarMiddle);
    EXPECT_EQ(feedback.boxes, (std::vector<std::wstring>{L"内置播放器启动失败！ / 错误 / 0"}));
    EXPECT_EQ(feedback.owners, (std::vector<HWND>{view.GetHwnd()}));
    EXPECT_FALSE(window.IsContinuous());
    EXPECT_FALSE(window.ContinuePending());
    EXPECT_EQ(MiddleText(window), L"连续播放");
    DoubleTapWindow(window, 100, RowMiddle(1));
    EXPECT_EQ(feedback.boxes.size(), 2u);
}

TEST_F(PlayListTest, BackEndsTheWindowWith2) {
    GivenParts(1);
    PlayListWnd window;
    Open(window);
    window.Post(WM_FT_COMMAND, PlayListWnd::ToolbarId, PlayListWnd::BackButton);
    EXPECT_EQ(window.DoModal(), 2);
}

} // namespace
