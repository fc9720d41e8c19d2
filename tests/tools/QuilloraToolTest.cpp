#include "support/FixtureSite.h"
#include "support/IniBytes.h"
#include "support/StartProgram.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct Outcome {
    int exit = -1;
    std::string out, err;
};

// Runs quillora-tool with the given arguments; its output goes through files, so a
// large output cannot block it.
Outcome Tool(const std::vector<std::string>& arguments, const TemporaryRoot& scratch) {
    std::string outFile = (scratch.Path() / "stdout").string(), errFile = (scratch.Path() / "stderr").string();
    pid_t child = StartProgram(QUILLORA_TOOL, arguments, outFile, errFile);
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadHostFile(outFile), ReadHostFile(errFile)};
}

class ToolIni : public ::testing::Test {
protected:
    std::string Given(const std::string& bytes) {
        WriteHostFile(m_file, bytes);
        return m_file.string();
    }
    std::string Bytes() const { return ReadHostFile(m_file); }

    TemporaryRoot m_scratch{TemporaryRoot::Image::None};
    std::filesystem::path m_file = m_scratch.Path() / "conf" / "Setting.ini";
};

TEST_F(ToolIni, SetWritesTheExpectedBytes) {
    struct Case {
        std::u16string before;
        std::vector<std::string> arguments;
        std::u16string after;
    };
    const Case cases[] = {
        {u"", {"Network", "IsWLAN", "1"}, u"[Network]\r\n  IsWLAN=1"},
        {u"[Network]\r\n  IsWLAN=1\r\n[Player]\r\n  EnableFtVideo=1",
         {"Player", "Path", "\\Windows\\mpv.exe"},
         u"[Network]\r\n  IsWLAN=1\r\n[Player]\r\n  EnableFtVideo=1\r\n  Path=\\Windows\\mpv.exe"},
        {u"[Network]\r\n  IsWLAN=1\r\n  AutoConnect=1\r\n[Player]\r\n  Path=",
         {"--int", "Network", "IsWLAN", "0"},
         u"[Network]\r\n  IsWLAN=0\r\n  AutoConnect=1\r\n[Player]\r\n  Path="},
        {u"[A]\r\n  x=1\r\n[Network]",
         {"Network", "IsWLAN", "1"},
         u"[A]\r\n  x=1\r\n[Network]\r\n  IsWLAN=1\r\n[Network]\r\n  IsWLAN=1"},
        {u"[network]\r\n  IsWLAN=1", {"Network", "IsWLAN", "0"}, u"[network]\r\n  IsWLAN=1\r\n[Network]\r\n  IsWLAN=0"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{"ini", "set"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        arguments.push_back(Given(IniBytes(c.before)));
        EXPECT_EQ(Tool(arguments, m_scratch).exit, 0);
        EXPECT_EQ(Bytes(), IniBytes(c.after));
    }
}

TEST_F(ToolIni, GetPrintsTheValueOrFails) {
    std::string file = Given(IniBytes(u"[Network]\r\n  IsWLAN=\r\n[Player]\r\n  Path=\\存储卡\\a.exe"));
    Outcome path = Tool({"ini", "get", "Player", "Path", file}, m_scratch);
    EXPECT_EQ(path.exit, 0);
    EXPECT_EQ(path.out, "\\存储卡\\a.exe\n");
    Outcome empty = Tool({"ini", "get", "--int", "Network", "IsWLAN", file}, m_scratch);
    EXPECT_EQ(empty.exit, 0);
    EXPECT_EQ(empty.out, "0\n");
    EXPECT_EQ(Tool({"ini", "get", "network", "IsWLAN", file}, m_scratch).exit, 1);
    EXPECT_EQ(Tool({"ini", "get", "Player", "Missing", file}, m_scratch).exit, 1);
}

TEST_F(ToolIni, AFileWithoutTheMarkIsLeftAlone) {
    std::string file = Given("[Network]\r\n  IsWLAN=0");
    EXPECT_EQ(Tool({"ini", "get", "Network", "IsWLAN", file}, m_scratch).exit, 1);
    EXPECT_EQ(Tool({"ini", "set", "Network", "IsWLAN", "1", file}, m_scratch).exit, 1);
    EXPECT_EQ(Bytes(), "[Network]\r\n  IsWLAN=0");
    EXPECT_EQ(Tool({"ini", "set", "A", "k", "v", (m_scratch.Path() / "absent.ini").string()}, m_scratch).exit, 1);
    EXPECT_FALSE(std::filesystem::exists(m_scratch.Path() / "absent.ini"));
    EXPECT_EQ(Tool({"ini", "set", "--int", "A", "k", "v", file}, m_scratch).exit, 2);
    EXPECT_EQ(Tool({"ini", "get"}, m_scratch).exit, 2);
}

TEST(ToolFetch, PrintsTheBodyAndTakesTheRootAfterItsArguments) {
    FixtureSite site;
    TemporaryRoot root(TemporaryRoot::Image::None);
    Outcome page = Tool({"fetch", "http://www.youku.com/", "--root", root.Path().string()}, root);
    EXPECT_EQ(page.exit, 0) << page.err;
    EXPECT_NE(page.out.find("<p>首页</p>"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(root.Host("Quillora/Data/Setting.ini")));
}

TEST(ToolFetch, AFailurePrintsTheErrorNumber) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    std::string refused = "http://127.0.0.1:" + std::to_string(RefusedPort()) + "/";
    Outcome failed = Tool({"--root", root.Path().string(), "fetch", refused}, root);
    EXPECT_EQ(failed.exit, 1);
    EXPECT_EQ(failed.out, "");
    EXPECT_EQ(failed.err, "12029\n");
}

} // namespace

namespace {

TEST(ToolConvert, PrintsTheResultThePagesAndTheFeedback) {
    FixtureSite site;
    TemporaryRoot root(TemporaryRoot::Image::None);
    Outcome converted = Tool({"convert", "youku-playlist", "http://so.youku.com/playlist_show/id_1234567.html",
                              "--root", root.Path().string()},
                             root);
    EXPECT_EQ(converted.exit, 0) << converted.err;
    std::istringstream lines(converted.out);
    std::string result, written, show, close;
    std::getline(lines, result);
    std::getline(lines, written);
    std::getline(lines, show);
    std::getline(lines, close);
    EXPECT_EQ(result, "result: true");
    ASSERT_EQ(written.rfind("written: \\Quillora\\temp\\", 0), 0u) << converted.out;
    std::string name = written.substr(written.rfind('\\') + 1);
    EXPECT_EQ(name.size(), 37u);
    EXPECT_NE(ReadHostFile(root.Host("Quillora/Temp/" + name)).find("vCollImg"), std::string::npos);
    EXPECT_EQ(show, "feedback: wait-dialog show owner=0xb0 value=1");
    EXPECT_EQ(close, "feedback: wait-dialog close");

    Outcome failed = Tool(
        {"--root", root.Path().string(), "convert", "youku-playlist", "http://so.youku.com/playlist_show/id_404.html"},
        root);
    EXPECT_EQ(failed.out.substr(0, failed.out.find('\n')), "result: false");
    EXPECT_EQ(failed.out.find("written:"), std::string::npos);
    EXPECT_EQ(Tool({"convert", "tudou-nothing", "http://x/"}, root).exit, 2);
}

} // namespace

namespace {

TEST(ToolResolve, PrintsThePlaylistAndTheHandOff) {
    FixtureSite site;
    TemporaryRoot root(TemporaryRoot::Image::None);
    Outcome resolved =
        Tool({"resolve", "1", "http://v.youku.com/v_show/id_XMTIzNDU2Nzg=.html", "--root", root.Path().string()}, root);
    EXPECT_EQ(resolved.exit, 0) << resolved.err;
    EXPECT_EQ(resolved.out, "result: true\n"
                            "written: \\Quillora\\Data\\video.m3u\n"
                            "feedback: wait-dialog show owner=0xb0 value=1\n"
                            "feedback: wait-dialog close\n"
                            "feedback: post WM_SHOW_PLAYLIST owner=0xb0\n");
    std::string playlist = ReadHostFile(root.Host("Quillora/Data/video.m3u"));
    EXPECT_EQ(std::count(playlist.begin(), playlist.end(), '\n'), 7);

    Outcome played =
        Tool({"--root", root.Path().string(), "resolve", "2", "http://v.youku.com/v_show/id_XMTk4NzY1NDM=.html"}, root);
    EXPECT_EQ(played.out.substr(0, played.out.find('\n')), "result: true");
    EXPECT_EQ(played.out.find("written:"), std::string::npos);
    EXPECT_EQ(Tool({"resolve", "3", "http://x/"}, root).exit, 2);
}

} // namespace

namespace {

TEST(ToolNavigate, WalksTheWholeRoad) {
    FixtureSite site;
    TemporaryRoot root;
    auto navigate = [&](const std::string& url) {
        return Tool({"navigate", url, "--root", root.Path().string()}, root);
    };

    Outcome page = navigate("http://so.tudou.com/isearch/kungfu");
    EXPECT_EQ(page.out.substr(0, page.out.find('\n')), "result: 0") << page.out << page.err;
    std::size_t written = page.out.find("written: \\Quillora\\temp\\");
    ASSERT_NE(written, std::string::npos);
    std::string path = page.out.substr(written + 9, page.out.find('\n', written) - written - 9);
    EXPECT_NE(page.out.find("browser: " + path + "\n"), std::string::npos);

    Outcome video = navigate("http://v.youku.com/v_show/id_XMTIzNDU2Nzg=.html");
    EXPECT_EQ(video.out, "result: 3\n"
                         "written: \\Quillora\\Data\\video.m3u\n"
                         "feedback: wait-dialog show owner=0xb0 value=1\n"
                         "feedback: wait-dialog close\n"
                         "feedback: post WM_SHOW_PLAYLIST owner=0xb0\n");

    std::string flv = "http://127.0.0.1:" + std::to_string(site.Port()) + "/flv/clip.flv";
    EXPECT_EQ(navigate(flv).out.substr(0, 10), "result: 3\n");
    std::string log;
    for (int i = 0; i < 500 && log.empty(); ++i) {
        log = ReadHostFile(root.Host("Windows/player.log"));
        if (log.empty())
            ::usleep(10000);
    }
    EXPECT_EQ(log, "FtVideo.exe " + flv + "\n");

    Outcome unknown = navigate("http://www.example.com/");
    EXPECT_EQ(unknown.out,
              "result: 1\n"
              "feedback: message-box owner=0xb0 caption=\"错误\" type=0 text=\"页面解析失败！\" answer=1\n");
}

} // namespace
