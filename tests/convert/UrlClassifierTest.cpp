#include "convert/UrlClassifier.h"
#include "fetch/ScriptedCoreUi.h"
#include "settings/ProgramFolder.h"
#include "support/FixtureSite.h"
#include "support/IniBytes.h"

#include <gtest/gtest.h>

namespace {

struct RouteCase {
    const wchar_t* url;
    int rule; // 0: no rule
    const char* routine;
    const wchar_t* tag;     // the provider the rule gives the request; empty: it keeps its own
    const wchar_t* address; // what the routine receives; null: the url itself
};

const RouteCase Routes[] = {
    {L"http://so.youku.com/search_video/q_abc", 1, "youku-search-video", L"youku", nullptr},
    {L"http://so.youku.com/search_video/q_v_show.flv", 1, "youku-search-video", L"youku", nullptr},
    {L"http://so.youku.com/search_playlist/q_abc", 2, "youku-search-playlist", L"youku", nullptr},
    {L"http://so.youku.com/playlist_show/id_1.html", 3, "youku-playlist", L"youku", nullptr},
    {L"http://www.youku.com/v_showlist/c97.html", 4, "youku-channel", L"youku", nullptr},
    {L"http://so.tudou.com/isearch/kungfu", 5, "tudou-search-video", L"tudou",
     L"http://so.tudou.com/isearch/kungfu/display_table"},
    {L"http://so.tudou.com/isearch/a/display_album/b/display_album", 5, "tudou-search-video", L"tudou",
     L"http://so.tudou.com/isearch/a/display_table/b/display_table"},
    {L"http://so.tudou.com/psearch/kungfu", 6, "tudou-search-playlist", L"tudou", nullptr},
    {L"http://www.tudou.com/top/", 7, "tudou-top", L"tudou", nullptr},
    {L"http://so.tudou.com/top/", 0, nullptr, nullptr, nullptr},
    {L"http://www.tudou.com/playlist/id/1234/", 8, "tudou-playlist", L"tudou", nullptr},
    {L"http://www.tudou.com/playlist/playindex.do?lid=1&f=x.flv", 9, "parse-server play index", L"tudou", nullptr},
    {L"http://127.0.0.1/media/clip.flv", 10, "player", L"", nullptr},
    {L"http://so.56.com/index?key=a", 11, "56-search-index", L"56", nullptr},
    {L"http://so.56.com/videolist?key=a", 12, "56-videolist", L"56", nullptr},
    {L"http://www.56.com/w11/album-aid-1.html", 13, "56-album", L"56", nullptr},
    {L"http://6.cn/search.php?key=a", 14, "6cn-search", L"6", nullptr},
    {L"http://6.cn/playlist/1.html", 15, "6cn-playlist", L"6", nullptr},
    {L"http://6.cn/videos/", 16, "6cn-videos", L"6", nullptr},
    {L"http://v.youku.com/v_show/id_X.html", 17, "parse-server video page", L"", nullptr},
    {L"http://www.tudou.com/programs/view/AbC/", 17, "parse-server video page", L"", nullptr},
    {L"http://v.youku.com/v_playlist/f1o1p0.html", 17, "parse-server video page", L"", nullptr},
    {L"http://www.56.com/u11/v_MTI.html", 17, "parse-server video page", L"", nullptr},
    {L"http://6.cn/watch/123.html", 17, "parse-server video page", L"", nullptr},
    {L"http://www.example.com/index.html", 0, nullptr, nullptr, nullptr},
    // A pattern at the very start does not count, and the search is case-sensitive.
    {L"/search_video/at-start", 0, nullptr, nullptr, nullptr},
    {L"http://so.youku.com/SEARCH_VIDEO/q", 0, nullptr, nullptr, nullptr},
};

TEST(UrlClassifier, EachAddressMeetsItsRuleAndNoOther) {
    for (const RouteCase& c : Routes) {
        std::optional<Route> route = RouteFor(c.url);
        SCOPED_TRACE(std::string(c.url, c.url + std::wcslen(c.url)));
        if (c.rule == 0) {
            EXPECT_FALSE(route);
            continue;
        }
        ASSERT_TRUE(route);
        EXPECT_EQ(route->rule, c.rule);
        EXPECT_EQ(route->routine, c.routine);
        EXPECT_EQ(route->tag, c.tag);
        EXPECT_EQ(route->address, c.address ? c.address : c.url);
    }
}

class ClassifierRoadTest : public ::testing::Test {
protected:
    void SetUp() override { CreateProgramFolders(); }
    void ParseServer(int server) {
        WriteHostFile(m_site.Root().Host("Quillora/Data/Setting.ini"),
                      IniBytes(u"[Network]\r\n  FlvParseServer=" + std::u16string(1, u'0' + server)));
    }

    FixtureSite m_site;
    ScriptedCoreUi m_ui;
};

TEST_F(ClassifierRoadTest, PagesConvertAndVideoPagesResolve) {
    {
        NavigationRequest request(m_ui);
        EXPECT_EQ(UrlClassifier(request, L"http://www.youku.com/v_showlist/c97.html"), ClassifyResult::PageWritten);
        EXPECT_EQ(request.ProviderTag(), L"youku");
    }
    {
        NavigationRequest request(m_ui);
        EXPECT_EQ(UrlClassifier(request, L"http://www.example.com/"), ClassifyResult::PageFailed);
        EXPECT_EQ(request.ProviderTag(), L"");
    }
    ParseServer(0);
    {
        NavigationRequest request(m_ui);
        EXPECT_EQ(UrlClassifier(request, L"http://v.youku.com/v_show/id_XMTIzNDU2Nzg=.html"),
                  ClassifyResult::PlaybackStarted);
        EXPECT_EQ(request.ProviderTag(), L"flvcd");
    }
    ParseServer(1);
    {
        NavigationRequest request(m_ui);
        EXPECT_EQ(UrlClassifier(request, L"http://v.youku.com/v_show/id_XMTIzNDU2Nzg=.html"),
                  ClassifyResult::PlaybackStarted);
        EXPECT_EQ(request.ProviderTag(), L"8fan");
    }
    ParseServer(0);
    {
        // Parse server 1 knows nothing of this page: no hidden field, nothing to play.
        NavigationRequest request(m_ui);
        EXPECT_EQ(UrlClassifier(request, L"http://v.youku.com/v_show/id_unknown.html"), ClassifyResult::PlaybackFailed);
    }
}

TEST_F(ClassifierRoadTest, APageThatCannotBeWrittenIsAFailedConversion) {
    std::filesystem::remove_all(m_site.Root().Host("Quillora/Temp"));
    for (const wchar_t* address :
         {L"http://www.youku.com/v_showlist/c97.html", L"http://www.tudou.com/playlist/id/1234/"}) {
        NavigationRequest request(m_ui);
        EXPECT_EQ(UrlClassifier(request, address), ClassifyResult::PageFailed);
        EXPECT_FALSE(m_ui.WaitDialogOpen());
    }
}

TEST_F(ClassifierRoadTest, APlayIndexKeepsTheTudouTagOnItsWayToTheParseServer) {
    ParseServer(0);
    NavigationRequest request(m_ui);
    EXPECT_EQ(UrlClassifier(request, L"http://www.tudou.com/playlist/playindex/lid1234/iid5678"),
              ClassifyResult::PlaybackStarted);
    EXPECT_EQ(request.ProviderTag(), L"tudou");
}

} // namespace
