#include "convert/PagedListing.h"
#include "convert/UrlClassifier.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/base/Utf8.h"
#include "settings/ProgramFolder.h"
#include "support/FixtureSite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

namespace {

struct GoldenCase {
    const char* provider;
    const char* name;
    const char* converter;
    const wchar_t* address;
    bool result;
    int pages; // files written: the output path and its numbered siblings
};

const GoldenCase Cases[] = {
    {"youku", "video-search", "youku-search-video", L"http://so.youku.com/search_video/q_%e5%8a%9f%e5%a4%ab", true, 1},
    {"youku", "video-search-sorry-first", "youku-search-video",
     L"http://so.youku.com/search_video/q_%e6%97%a0%e7%bb%93%e6%9e%9c", true, 1},
    {"youku", "video-search-two-details", "youku-search-video",
     L"http://so.youku.com/search_video/q_%e4%b8%a4%e4%b8%aa", true, 1},
    {"youku", "video-search-nothing", "youku-search-video", L"http://so.youku.com/search_video/q_%e7%a9%ba", true, 1},
    {"youku", "playlist-search", "youku-search-playlist", L"http://so.youku.com/search_playlist/q_%e5%8a%9f%e5%a4%ab",
     true, 1},
    {"youku", "playlist", "youku-playlist", L"http://so.youku.com/playlist_show/id_1234567.html", true, 1},
    {"youku", "playlist-without-videos", "youku-playlist", L"http://so.youku.com/playlist_show/id_404.html", false, 0},
    {"youku", "channel-with-second-level", "youku-channel", L"http://www.youku.com/v_showlist/c97.html", true, 1},
    {"youku", "channel-without-second-level", "youku-channel", L"http://www.youku.com/v_showlist/c85.html", true, 1},
    {"youku", "channel-missing", "youku-channel", L"http://www.youku.com/v_showlist/c1.html", false, 0},
    {"tudou", "video-search", "tudou-search-video", L"http://so.tudou.com/isearch/kungfu", true, 1},
    {"tudou", "video-search-plain-heading", "tudou-search-video", L"http://so.tudou.com/isearch/noclass", true, 1},
    {"tudou", "playlist-search", "tudou-search-playlist", L"http://so.tudou.com/psearch/kungfu", true, 1},
    {"tudou", "top", "tudou-top", L"http://www.tudou.com/top/", true, 1},
    {"tudou", "playlist-61", "tudou-playlist", L"http://www.tudou.com/playlist/id/1234/", true, 3},
    {"tudou", "playlist-empty", "tudou-playlist", L"http://www.tudou.com/playlist/id/0/", true, 1},
    {"tudou", "playlist-nested", "tudou-playlist", L"http://www.tudou.com/playlist/id/77/", true, 1},
    {"56", "index-search", "56-search-index", L"http://so.56.com/index?key=kungfu", true, 1},
    {"56", "videolist", "56-videolist", L"http://so.56.com/videolist?key=kungfu", true, 1},
    {"56", "album-45", "56-album", L"http://www.56.com/w11/album-aid-1234567.html", true, 2},
    {"56", "album-missing-key", "56-album", L"http://www.56.com/w22/album-aid-7.html", true, 1},
    {"56", "album-short", "56-album", L"http://www.56.com/w33/album-aid-8.html", true, 1},
    {"6cn", "search", "6cn-search", L"http://6.cn/search.php?key=kungfu", true, 1},
    {"6cn", "playlist", "6cn-playlist", L"http://6.cn/playlist/12345.html", true, 1},
    {"6cn", "videos", "6cn-videos", L"http://6.cn/videos/", true, 1},
};

void PrintTo(const GoldenCase& golden, std::ostream* out) { *out << golden.provider << "/" << golden.name; }

// The pages name each other by the request's random output path: the expected files
// hold "@OUTPUT@" in its place.
std::string WithoutOutputName(std::string page, const std::string& stem) {
    for (std::size_t at = page.find(stem); at != std::string::npos; at = page.find(stem, at))
        page.replace(at, stem.size(), "@OUTPUT@");
    return page;
}

class ProviderPages : public ::testing::TestWithParam<GoldenCase> {
protected:
    // Album dates are local calendar dates.
    ScopedEnvironment m_utc{"TZ", "UTC"};
};

TEST_P(ProviderPages, ConvertToTheCheckedPages) {
    const GoldenCase& golden = GetParam();
    FixtureSite site;
    CreateProgramFolders();
    ScriptedCoreUi ui;
    NavigationRequest request(ui);
    // The page goes the road an intercepted address takes: through the classifier.
    std::optional<Route> route = RouteFor(golden.address);
    ASSERT_TRUE(route);
    EXPECT_EQ(route->routine, golden.converter);
    EXPECT_EQ(UrlClassifier(request, golden.address),
              golden.result ? ClassifyResult::PageWritten : ClassifyResult::PageFailed);

    auto hostPath = [&](std::size_t page) { return site.Root().HostOf(PagePath(request.OutputPath(), page)); };
    std::string stem = platform::Utf8FromWide(request.OutputPath().substr(request.OutputPath().rfind(L'\\') + 1));
    stem.resize(stem.size() - 5);
    for (int page = 1; page <= golden.pages; ++page) {
        std::string suffix = page == 1 ? "" : "-" + std::to_string(page);
        std::filesystem::path expected = std::filesystem::path(QUILLORA_EXPECTED_PAGES) / golden.provider /
                                         (std::string(golden.name) + suffix + ".expected.html");
        std::string actual = WithoutOutputName(ReadHostFile(hostPath(page)), stem);
        std::filesystem::path actualFile =
            expected.parent_path() / (std::string(golden.name) + suffix + ".actual.html");
        bool same = actual == ReadHostFile(expected);
        EXPECT_TRUE(same) << "page " << page << ": see " << actualFile;
        if (!same)
            WriteHostFile(actualFile, actual);
        else
            std::filesystem::remove(actualFile);
    }
    EXPECT_FALSE(std::filesystem::exists(hostPath(golden.pages + 1)));

    // The wait dialog was shown for the download and is closed at the end, on every road.
    std::vector<FeedbackRecord> records = ui.Records();
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records.front().kind, FeedbackRecord::Kind::ShowWait);
    EXPECT_EQ(records.back().kind, FeedbackRecord::Kind::CloseWait);
    EXPECT_FALSE(ui.WaitDialogOpen());
}

INSTANTIATE_TEST_SUITE_P(Golden, ProviderPages, ::testing::ValuesIn(Cases), [](const auto& info) {
    std::string name = std::string(info.param.provider) + "_" + info.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

} // namespace
