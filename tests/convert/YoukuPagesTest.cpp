#include "convert/ConverterTable.h"
#include "fetch/ScriptedCoreUi.h"
#include "settings/ProgramFolder.h"
#include "support/FixtureSite.h"

#include "platform/base/Utf8.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct GoldenCase {
    const char* name;
    const char* converter;
    const wchar_t* address;
    bool result;
};

const GoldenCase Cases[] = {
    {"video-search", "youku-search-video", L"http://so.youku.com/search_video/q_%e5%8a%9f%e5%a4%ab", true},
    {"video-search-sorry-first", "youku-search-video",
     L"http://so.youku.com/search_video/q_%e6%97%a0%e7%bb%93%e6%9e%9c", true},
    {"video-search-two-details", "youku-search-video", L"http://so.youku.com/search_video/q_%e4%b8%a4%e4%b8%aa", true},
    {"video-search-nothing", "youku-search-video", L"http://so.youku.com/search_video/q_%e7%a9%ba", true},
    {"playlist-search", "youku-search-playlist", L"http://so.youku.com/search_playlist/q_%e5%8a%9f%e5%a4%ab", true},
    {"playlist", "youku-playlist", L"http://so.youku.com/playlist_show/id_1234567.html", true},
    {"playlist-without-videos", "youku-playlist", L"http://so.youku.com/playlist_show/id_404.html", false},
    {"channel-with-second-level", "youku-channel", L"http://www.youku.com/v_showlist/c97.html", true},
    {"channel-without-second-level", "youku-channel", L"http://www.youku.com/v_showlist/c85.html", true},
    {"channel-missing", "youku-channel", L"http://www.youku.com/v_showlist/c1.html", false},
};

void PrintTo(const GoldenCase& golden, std::ostream* out) { *out << golden.name; }

class YoukuPages : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(YoukuPages, ConvertToTheCheckedPage) {
    const GoldenCase& golden = GetParam();
    FixtureSite site;
    CreateProgramFolders();
    ScriptedCoreUi ui;
    NavigationRequest request(ui);
    request.SetProviderTag(L"youku");
    const NamedConverter* converter = FindConverter(golden.converter);
    ASSERT_NE(converter, nullptr);
    EXPECT_EQ(converter->convert(request, golden.address), golden.result);

    std::string name = platform::Utf8FromWide(request.OutputPath().substr(request.OutputPath().rfind(L'\\') + 1));
    std::filesystem::path written = site.Root().Host("Quillora/Temp/" + name);
    std::filesystem::path expected = std::filesystem::path(QUILLORA_EXPECTED_PAGES) / "youku" /
                                     (std::string(golden.name) + ".expected.html");
    if (!golden.result) {
        EXPECT_FALSE(std::filesystem::exists(written));
    } else {
        std::string actual = ReadHostFile(written);
        bool same = actual == ReadHostFile(expected);
        EXPECT_TRUE(same) << "see " << golden.name << ".actual.html beside " << expected;
        std::filesystem::path actualFile = expected.parent_path() / (std::string(golden.name) + ".actual.html");
        if (!same)
            WriteHostFile(actualFile, actual);
        else
            std::filesystem::remove(actualFile);
    }
    // The wait dialog was shown for the download and is closed at the end, on every road.
    std::vector<FeedbackRecord> records = ui.Records();
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records.front().kind, FeedbackRecord::Kind::ShowWait);
    EXPECT_EQ(records.back().kind, FeedbackRecord::Kind::CloseWait);
    EXPECT_FALSE(ui.WaitDialogOpen());
}

INSTANTIATE_TEST_SUITE_P(Golden, YoukuPages, ::testing::ValuesIn(Cases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
