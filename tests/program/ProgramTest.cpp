// The quillora program as a person starts it: a process of its own on the headless
// screen with the offline demo, driven by a script; a second start while it runs; a
// start after one that was killed.

#include "ProgramProcess.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::vector<std::string> Headless(const TemporaryRoot& root, const std::string& script) {
    std::vector<std::string> arguments{"--headless", "--demo", "--root", (root.Path() / "device").string()};
    if (!script.empty())
        arguments.insert(arguments.end(), {"--script", script});
    return arguments;
}

std::string Script(const TemporaryRoot& root, const std::string& name, const std::string& lines) {
    std::filesystem::path file = root.Path() / name;
    WriteHostFile(file, lines);
    return file.string();
}

// The player "plays" each part for a second: the tour's play list is played on from its
// second part to its end.
TEST(Program, TheTourSearchesPlaysAVideosPartsOneAfterTheOtherAndEndsClean) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    ScopedEnvironment timedPlayer("QUILLORA_PLAYER_SECONDS", "1");
    Program tour(Headless(root, QUILLORA_TOUR), root.Path(), "tour");
    ASSERT_EQ(tour.Wait(90s), 0) << tour.Err();
    for (const char* shot : {"01-main.png", "03-result-page.png", "04-play-list.png", "07-played-through.png",
                             "09-favourites-menu.png", "12-settings.png", "13-home.png", "14-exit-question.png"})
        EXPECT_TRUE(std::filesystem::exists(root.Path() / shot)) << shot;
    std::string log = ReadHostFile(root.Path() / "device/Windows/player.log");
    EXPECT_EQ(Count(log, "FtVideo.exe http://127.0.0.1:"), 2) << log;
    EXPECT_EQ(Count(log, "FtVideo.exe end"), 2) << log;
    EXPECT_EQ(log.find("kungfu-panda-01.flv"), std::string::npos) << "played on from the second part: " << log;
    EXPECT_LT(log.find("kungfu-panda-02.flv"), log.find("kungfu-panda-03.flv")) << log;
    std::filesystem::path temp = root.Path() / "device/Quillora/Temp";
    ASSERT_TRUE(std::filesystem::is_directory(temp));
    EXPECT_TRUE(std::filesystem::is_empty(temp)) << "the pages go with the program";
    EXPECT_FALSE(std::filesystem::is_empty(root.Path() / "device/Quillora/Favorite")) << "the favourite saved";
}

// The second start leaves everything of the first alone: its pages, its demo site's host
// map (the first still searches afterwards), its screen.
TEST(Program, ASecondStartBringsTheFirstForwardAndEndsWithoutAWindow) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    Program first(Headless(root, Script(root, "first.script",
                                        "wait-window MainWnd\nscreenshot up.png\nwait-raised 20000\n"
                                        "tap 200 33\ntype 功夫\ntap 240 180\nwait-page 20000\nquit\n")),
                  root.Path(), "first");
    ASSERT_TRUE(WaitForFile(root.Path() / "up.png")) << first.Err();
    std::filesystem::path page = root.Path() / "device/Quillora/Temp/shown.html";
    WriteHostFile(page, "<html></html>");
    auto started = std::chrono::steady_clock::now();
    Program second(Headless(root, Script(root, "second.script", "screenshot second.png\n")), root.Path(), "second");
    EXPECT_EQ(second.Wait(), 255) << second.Err();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 15s);
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "second.png")) << "the second start showed nothing";
    EXPECT_TRUE(std::filesystem::exists(page)) << "the first copy's pages stay";
    EXPECT_EQ(first.Wait(), 0) << "the first was raised and searched on: " << first.Err();
}

TEST(Program, AKilledProgramLeavesNoNameBehind) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    {
        Program killed(
            Headless(root, Script(root, "long.script", "wait-window MainWnd\nscreenshot up.png\nwait 60000\n")),
            root.Path(), "killed");
        ASSERT_TRUE(WaitForFile(root.Path() / "up.png")) << killed.Err();
        killed.Kill();
    }
    Program next(Headless(root, Script(root, "next.script", "wait-window MainWnd\nexpect-window MainWnd\nquit\n")),
                 root.Path(), "next");
    EXPECT_EQ(next.Wait(), 0) << next.Err();
}

TEST(Program, AScriptThatCannotBeFollowedSaysWhichLine) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    Program unknown(Headless(root, Script(root, "bad.script", "wait-window MainWnd\nfly to the moon\n")), root.Path(),
                    "bad");
    EXPECT_EQ(unknown.Wait(), 2);
    EXPECT_NE(unknown.Err().find("script line 2 (fly to the moon): unknown command"), std::string::npos)
        << unknown.Err();
    Program failing(Headless(root, Script(root, "fail.script", "wait-window MainWnd\nexpect-window NoSuchWnd\n")),
                    root.Path(), "fail");
    EXPECT_EQ(failing.Wait(), 1);
    EXPECT_NE(failing.Err().find("script line 2"), std::string::npos) << failing.Err();
}

// A double tap on a provider opens its ranking; declining the exit question keeps the
// program running.
TEST(Program, ADoubleTapOpensTheRankingAndANoToTheExitQuestionKeepsGoing) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    Program run(
        Headless(root, Script(root, "ranking.script",
                              "wait-window MainWnd\ntap 240 345\ntap 240 345\nwait-page 20000\n"
                              "screenshot ranking.png\ntap 48 687\nwait 1000\nexpect-caption Quillora\ntap 60 687\n"
                              "wait-window FtMessageBox\nwait 300\ntap 334 423\nwait 300\n"
                              "expect-no-window FtMessageBox\nexpect-window MainWnd\nquit\n")),
        root.Path(), "ranking");
    EXPECT_EQ(run.Wait(), 0) << run.Err();
    EXPECT_TRUE(std::filesystem::exists(root.Path() / "ranking.png"));
    EXPECT_NE(run.Out().find("wait-page"), std::string::npos);
}

// Every command of the two tool bars, from the main window and from the browser view,
// opens its window or does its action; each row leaves things as they were.
TEST(Program, EveryToolbarCommandReachesItsWindow) {
    struct Row {
        const char* what;
        const char* lines;
    };
    // A side window opened from the tool bar and closed again with its left button.
    const Row rows[] = {
        {"main: exit, declined", "tap 60 687\nwait-window FtMessageBox\nwait 300\ntap 334 423\nwait 500\n"
                                 "expect-no-window FtMessageBox\nexpect-window MainWnd\n"},
        {"main: channels", "tap 180 687\nwait-window ChannelListWnd\nwait 300\ntap 80 687\nwait 600\n"
                           "expect-no-window ChannelListWnd\n"},
        {"main: favourites", "tap 300 687\nwait-window FavoriteWnd\nwait 300\ntap 80 687\nwait 600\n"
                             "expect-no-window FavoriteWnd\n"},
        {"main: settings, confirmed", "tap 420 687\nwait-window SettingWnd\nwait 300\ntap 400 687\nwait 600\n"
                                      "expect-no-window SettingWnd\n"},
        {"to the browser view", "tap 200 33\ntype 功夫\ntap 240 180\nwait-page 20000\nwait 300\n"},
        {"view: favourites menu, cancelled", "tap 336 687\nwait-window OptionMenu\nwait 400\ntap 240 658\n"
                                             "wait 600\nexpect-no-window OptionMenu\n"},
        {"view: favourites menu, add", "tap 336 687\nwait-window OptionMenu\nwait 400\ntap 240 563\n"
                                       "wait-window FavoriteEditWnd\nwait 300\ntap 80 687\nwait 600\n"
                                       "expect-no-window FavoriteEditWnd\n"},
        {"view: favourites menu, open", "tap 336 687\nwait-window OptionMenu\nwait 400\ntap 240 468\n"
                                        "wait-window FavoriteWnd\nwait 300\ntap 80 687\nwait 600\n"
                                        "expect-no-window FavoriteWnd\n"},
        {"view: settings", "tap 432 687\nwait-window SettingWnd\nwait 300\ntap 80 687\nwait 600\n"
                           "expect-no-window SettingWnd\n"},
        {"view: a play list", "tap-link v_show/id_XMTIzNDU2Nzg\nwait-window PlayListWnd 20000\nwait 300\n"
                              "tap 80 687\nwait 600\nexpect-no-window PlayListWnd\n"},
        {"view: home", "tap 48 687\nwait 1000\nexpect-caption Quillora\n"},
        {"main: exit, confirmed", "tap 60 687\nwait-window FtMessageBox\nwait 300\ntap 146 423\n"},
    };
    std::string script = "wait-window MainWnd\nwait 300\n";
    for (const Row& row : rows)
        script += std::string("# ") + row.what + "\n" + row.lines;
    TemporaryRoot root(TemporaryRoot::Image::None);
    Program run(Headless(root, Script(root, "commands.script", script)), root.Path(), "commands");
    EXPECT_EQ(run.Wait(90s), 0) << run.Err();
    EXPECT_TRUE(run.Err().find("script line") == std::string::npos) << run.Err();
    EXPECT_TRUE(std::filesystem::is_empty(root.Path() / "device/Quillora/Favorite")) << "nothing was added";
}

TEST(Program, AFavouriteIsSavedReopenedRenamedAndDeletedAndAChannelPlays) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    Program tour(Headless(root, QUILLORA_FAVOURITES_TOUR), root.Path(), "favourites");
    ASSERT_EQ(tour.Wait(), 0) << tour.Err();
    for (const char* shot : {"fav-04-list.png", "fav-06-renamed.png", "fav-08-empty.png", "ch-02-played.png"})
        EXPECT_TRUE(std::filesystem::exists(root.Path() / shot)) << shot;
    std::filesystem::path favourites = root.Path() / "device/Quillora/Favorite";
    EXPECT_TRUE(std::filesystem::is_empty(favourites)) << "saved, renamed, then deleted";
    EXPECT_NE(ReadHostFile(root.Path() / "device/Windows/player.log")
                  .find("FtVideo.exe http://www.youku.com/flv/kungfu-panda-01.flv"),
              std::string::npos);
}

// A Chinese search typed with the on-screen keyboard alone (pinyin, a candidate tapped).
TEST(Program, AChineseSearchTypedOnlyWithOnScreenTapsShowsItsResultPage) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    Program run(Headless(root, QUILLORA_PINYIN_TOUR), root.Path(), "pinyin");
    ASSERT_EQ(run.Wait(), 0) << run.Err();
    for (const char* shot : {"py-02-candidates.png", "py-03-typed.png", "py-04-result-page.png"})
        EXPECT_TRUE(std::filesystem::exists(root.Path() / shot)) << shot;
}

TEST(Program, OpensItsDesktopWindowWhenThereIsADesktop) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no desktop (the test command runs this one under xvfb-run)";
    TemporaryRoot root(TemporaryRoot::Image::None);
    Program desktop({"--demo", "--root", (root.Path() / "device").string(), "--scale", "1", "--script",
                     Script(root, "desktop.script", "wait-window MainWnd\nscreenshot desktop.png\nquit\n")},
                    root.Path(), "desktop");
    EXPECT_EQ(desktop.Wait(), 0) << desktop.Err();
    EXPECT_TRUE(std::filesystem::exists(root.Path() / "desktop.png"));
}

} // namespace
