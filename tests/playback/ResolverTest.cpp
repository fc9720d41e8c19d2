#include "convert/ParseServerQuery.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/text/AnsiText.h"
#include "playback/PlayerLauncher.h"
#include "playback/Playlist.h"
#include "support/FixtureSite.h"
#include "support/IniBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using Kind = FeedbackRecord::Kind;

class ResolverTest : public ::testing::Test {
protected:
    bool Resolve(DWORD server, const std::string& videoId) {
        NavigationRequest request(m_ui);
        std::wstring page = L"http://v.youku.com/v_show/" + platform::WideFromAnsi(videoId) + L".html";
        return ResolveThroughParseServer(request, page, VideoPageKind::VideoPage, server);
    }
    void Settings(std::u16string text) {
        WriteHostFile(m_site.Root().Host("Quillora/Data/Setting.ini"), IniBytes(text));
    }
    std::string Stream(const std::string& name) {
        return "http://127.0.0.1:" + std::to_string(m_site.Port()) + "/flv/" + name;
    }
    std::string Playlist() { return ReadHostFile(m_site.Root().Host("Quillora/Data/video.m3u")); }
    bool PlaylistExists() { return std::filesystem::exists(m_site.Root().Host("Quillora/Data/video.m3u")); }
    // The players note their start in player.log on their own time.
    std::string PlayerLog(std::size_t lines) {
        std::string log;
        for (int i = 0; i < 500; ++i) {
            log = ReadHostFile(m_site.Root().Host("Windows/player.log"));
            if (static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n')) >= lines)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return log;
    }
    std::vector<Kind> Kinds() {
        std::vector<Kind> kinds;
        for (const FeedbackRecord& record : m_ui.Records())
            kinds.push_back(record.kind);
        return kinds;
    }
    std::wstring LastMessage() {
        for (auto records = m_ui.Records(); !records.empty(); records.pop_back()) {
            if (records.back().kind == Kind::MessageBox)
                return records.back().text;
        }
        return L"";
    }

    FixtureSite m_site;
    ScriptedCoreUi m_ui;
};

TEST_F(ResolverTest, ThreePartsBecomeASevenLinePlaylistForThePlaylistWindow) {
    EXPECT_TRUE(Resolve(0, "id_XMTIzNDU2Nzg="));
    std::string expected = "#EXTM3U\n";
    for (int part = 1; part <= 3; ++part)
        expected += "#EXTINF:0," + platform::AnsiFromWide(L"功夫熊猫 第" + std::to_wstring(part) + L"段") + "\n" +
                    Stream("kungfu-panda-0" + std::to_string(part) + ".flv") + "\n";
    EXPECT_EQ(Playlist(), expected);
    EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::ShowWait, Kind::CloseWait, Kind::ShowPlaylist}));
}

TEST_F(ResolverTest, OnePartIsPlayedAtOnceByTheBuiltInPlayer) {
    EXPECT_TRUE(Resolve(0, "id_XMTk4NzY1NDM="));
    EXPECT_EQ(PlayerLog(1), "FtVideo.exe " + Stream("shaolin-01.flv") + "\n");
    EXPECT_FALSE(PlaylistExists());
}

TEST_F(ResolverTest, APageWithoutTheHiddenFieldFailsWithoutAWord) {
    EXPECT_FALSE(Resolve(0, "id_XMjAwMDAwMDA="));
    EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::ShowWait, Kind::CloseWait}));
    EXPECT_FALSE(PlaylistExists());
}

TEST_F(ResolverTest, ADamagedValueGivesOnlyCompleteOneLineEntries) {
    EXPECT_TRUE(Resolve(0, "id_XNDQ0NDQ0NDQ="));
    EXPECT_EQ(Playlist(), "#EXTM3U\n#EXTINF:0,first title\n" + Stream("one.flv") + "\n#EXTINF:0,second\n" +
                              Stream("two.flv") + "\n#EXTINF:0,cut off\n" + Stream("cut") + "\n");
}

TEST_F(ResolverTest, LineBreaksBetweenEntriesStayOutOfTheAddresses) {
    EXPECT_TRUE(Resolve(0, "id_XNjY2NjY2NjY="));
    EXPECT_EQ(Playlist(), "#EXTM3U\n#EXTINF:0,part one  \n" + Stream("a-1.flv") + "\n#EXTINF:0,part two  \n" +
                              Stream("a-2.flv") + "\n");
    // One address from either server goes to the player without its line end.
    EXPECT_TRUE(Resolve(0, "id_XNzc3Nzc3Nzc="));
    EXPECT_EQ(PlayerLog(1), "FtVideo.exe " + Stream("single.flv") + "\n");
    EXPECT_TRUE(Resolve(1, "id_XNzc3Nzc3Nzc="));
    EXPECT_EQ(PlayerLog(2), "FtVideo.exe " + Stream("single.flv") + "\nFtVideo.exe " + Stream("bare.flv") + "\n");
}

TEST_F(ResolverTest, TheSecondServersPlaylistIsWrittenWholeWithOneMoreLineFeed) {
    EXPECT_TRUE(Resolve(1, "id_XMTIzNDU2Nzg="));
    EXPECT_EQ(Playlist(), "#EXTM3U\n#EXTINF:0,Kung Fu Panda part 1\n" + Stream("kungfu-panda-01.flv") +
                              "\n#EXTINF:0,Kung Fu Panda part 2\n" + Stream("kungfu-panda-02.flv") + "\n");
    EXPECT_TRUE(Resolve(1, "id_XNTU1NTU1NTU="));
    EXPECT_EQ(Playlist(), "# made by the parse server\r\n#EXTM3U\r\n#EXTINF:0,Tian Long Ba Bu 01\r\n" +
                              Stream("tlbb-01.flv") + "\r\n\n");
    EXPECT_EQ(m_ui.Records().back().kind, Kind::ShowPlaylist);
}

TEST_F(ResolverTest, TheSecondServersBareAddressIsPlayedAndThePlaylistLeftAlone) {
    EXPECT_TRUE(Resolve(0, "id_XMTIzNDU2Nzg="));
    std::string earlier = Playlist();
    EXPECT_TRUE(Resolve(1, "id_XMTk4NzY1NDM="));
    EXPECT_EQ(PlayerLog(1), "FtVideo.exe " + Stream("shaolin-01.flv") + "\n");
    EXPECT_EQ(Playlist(), earlier);
}

TEST_F(ResolverTest, ASecondServerAnswerThatIsNoStreamAddressPlaysNothing) {
    // An error page, and an address a player could take for an option.
    for (const char* video : {"id_XODg4ODg4ODg=", "id_XOTk5OTk5OTk="}) {
        SCOPED_TRACE(video);
        m_ui.ClearRecords();
        EXPECT_FALSE(Resolve(1, video));
        EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::ShowWait, Kind::CloseWait}));
    }
    EXPECT_FALSE(std::filesystem::exists(m_site.Root().Host("Windows/player.log")));
}

TEST_F(ResolverTest, APlaylistThatCannotBeWrittenIsReportedAndNotHandedOn) {
    std::filesystem::remove_all(m_site.Root().Host("Quillora/Data"));
    for (DWORD server : {0u, 1u}) {
        m_ui.ClearRecords();
        EXPECT_FALSE(Resolve(server, "id_XMTIzNDU2Nzg="));
        EXPECT_EQ(LastMessage(), PlaylistNotCreated);
        EXPECT_EQ(m_ui.Records().back().caption, L"错误");
        std::vector<Kind> kinds = Kinds();
        EXPECT_EQ(std::count(kinds.begin(), kinds.end(), Kind::ShowPlaylist), 0);
    }
}

TEST_F(ResolverTest, TheExternalPlayerNeedsAPathThatStarts) {
    Settings(u"[Player]\r\n  EnableFtVideo=0");
    EXPECT_FALSE(Resolve(0, "id_XMTIzNDU2Nzg="));
    EXPECT_EQ(LastMessage(), ExternalPlayerMissing);
    EXPECT_EQ(m_ui.Records().back().caption, L"错误");
    EXPECT_TRUE(PlaylistExists());

    Settings(u"[Player]\r\n  EnableFtVideo=2\r\n  Path=\\Program Files\\nothing.exe");
    EXPECT_FALSE(Resolve(1, "id_XMTk4NzY1NDM="));
    EXPECT_EQ(LastMessage(), ExternalPlayerFailed);

    // An external player that exists gets the play list's path.
    std::filesystem::copy_file(m_site.Root().Host("Windows/FtMusic.exe"), m_site.Root().Host("Windows/Other.exe"));
    Settings(u"[Player]\r\n  EnableFtVideo=0\r\n  Path=\\Windows\\Other.exe");
    EXPECT_TRUE(Resolve(0, "id_XMTIzNDU2Nzg="));
    EXPECT_EQ(PlayerLog(1), "FtMusic.exe \\Quillora\\Data\\video.m3u\n");
}

TEST_F(ResolverTest, AMissingBuiltInPlayerIsReported) {
    std::filesystem::remove(m_site.Root().Host("Windows/FtVideo.exe"));
    EXPECT_FALSE(Resolve(0, "id_XMTk4NzY1NDM="));
    EXPECT_EQ(LastMessage(), BuiltInPlayerFailed);

    ScriptedCoreUi channelUi;
    std::filesystem::remove(m_site.Root().Host("Windows/FtMusic.exe"));
    LaunchChannel(channelUi, nullptr, ChannelType::Music, L"http://radio/stream");
    ASSERT_EQ(channelUi.Records().size(), 1u);
    EXPECT_EQ(channelUi.Records()[0].text, BuiltInPlayerFailed);
}

TEST_F(ResolverTest, AFailedDownloadIsReportedByTheFetchAlone) {
    WriteHostFile(m_site.HostMapFile(), "www.flvcd.com 127.0.0.1:" + std::to_string(RefusedPort()) + "\n");
    EXPECT_FALSE(Resolve(0, "id_XMTIzNDU2Nzg="));
    EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::ShowWait, Kind::CloseWait, Kind::MessageBox, Kind::CloseWait}));
}

TEST(ParseServerQuery, NamesTheServerAndKeepsThePageAddress) {
    const std::wstring page = L"http://v.youku.com/v_show/id_X.html?a=1&b=2";
    EXPECT_EQ(ParseServerQuery(0, VideoPageKind::VideoPage, page), L"http://www.flvcd.com/parse.php?kw=" + page);
    EXPECT_EQ(ParseServerQuery(0, VideoPageKind::PlayIndex, page), L"http://www.flvcd.com/parse.php?kw=" + page);
    EXPECT_EQ(ParseServerQuery(1, VideoPageKind::VideoPage, page), L"http://www.8fan.net/?url=" + page);
    EXPECT_EQ(ParseServerQuery(5, VideoPageKind::PlayIndex, page), L"http://www.8fan.net/?dd=" + page);
}

} // namespace
