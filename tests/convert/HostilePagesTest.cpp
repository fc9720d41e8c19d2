// Pages built to hurt: nesting deep enough to overflow a worker's stack, work that
// grows with the square of the page, listings that would fill the disk. Every one must
// end quickly, on the worker's own stack, in a page or a reported failure.

#include "convert/NavigationWorker.h"
#include "convert/PagedListing.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/device/Process.h"
#include "settings/ProgramFolder.h"
#include "support/FixtureSite.h"
#include "support/HostileReplies.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace {

// Runs `work` on a thread with the stack every navigation worker gets.
void OnWorkerStack(std::function<void()> work) {
    HANDLE thread = CreateThread(
        nullptr, WorkerStackSize,
        [](LPVOID parameter) -> DWORD {
            (*static_cast<std::function<void()>*>(parameter))();
            return 0;
        },
        &work, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    CloseHandle(thread);
}

class HostilePagesTest : public ::testing::Test {
protected:
    void Serve(const std::string& hostAndPath, const std::string& page) {
        WriteHostFile(m_sites.Host(hostAndPath), page);
    }
    // Navigates to the address as a worker does, on a worker's stack.
    NavigationOutcome Visit(const std::string& address) {
        NavigationOutcome outcome{};
        OnWorkerStack([&] { outcome = RunNavigation(m_ui, std::wstring(address.begin(), address.end())); });
        return outcome;
    }
    NavigationOutcome Navigate(const std::string& hostAndPath, const std::string& page) {
        Serve(hostAndPath, page);
        return Visit("http://" + hostAndPath);
    }
    bool PageExists(const NavigationOutcome& outcome, std::size_t page) {
        return std::filesystem::exists(m_site.Root().HostOf(PagePath(outcome.outputPath, page)));
    }
    std::wstring LastMessage() {
        auto records = m_ui.Records();
        for (auto record = records.rbegin(); record != records.rend(); ++record) {
            if (record->kind == FeedbackRecord::Kind::MessageBox)
                return record->text;
        }
        return L"";
    }

    TemporaryRoot m_sites{TemporaryRoot::Image::None};
    FixtureSite m_site{m_sites.Path().string()};
    ScriptedCoreUi m_ui;
};

TEST_F(HostilePagesTest, NestingTooDeepIsAFailedConversionNotACrash) {
    CreateProgramFolders();
    auto start = std::chrono::steady_clock::now();
    const std::string deep = Repeated("<b>", 110000);
    // Within the depth limit, but each end tag would make the parser search every level.
    const std::string unmatched = "<html><body>" + Repeated("<b>", 1500) + Repeated("</i>", 60000);
    for (const std::string* page : {&deep, &unmatched}) {
        for (const char* where : {"so.youku.com/search_video/q_deep", "www.tudou.com/playlist/id/9/index.html",
                                  "so.56.com/index", "6.cn/search.php"}) {
            SCOPED_TRACE(where);
            NavigationOutcome outcome = Navigate(where, *page);
            EXPECT_EQ(outcome.result, ClassifyResult::PageFailed);
            EXPECT_EQ(LastMessage(), L"页面解析失败！");
            EXPECT_FALSE(PageExists(outcome, 1));
            EXPECT_FALSE(m_ui.WaitDialogOpen());
        }
    }
    // The answer of parse server 1 is parsed too: nothing to play, nothing said.
    Serve("www.flvcd.com/parse.php?kw=http:%2F%2Fv.youku.com%2Fv_show%2Fid_deep.html", deep);
    EXPECT_EQ(Visit("http://v.youku.com/v_show/id_deep.html").result, ClassifyResult::PlaybackFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

TEST_F(HostilePagesTest, OfBlocksNestedInEachOtherTheLastIsTaken) {
    CreateProgramFolders();
    // 2,000 nested result blocks, each holding all the ones inside it; the innermost,
    // the last to begin, is the block (the time this takes is measured in bench/).
    std::string page = "<html><body>" + Repeated("<div id=\"detail\">", 2000) + "innermost" + Repeated("</div>", 2000) +
                       "</body></html>";
    NavigationOutcome outcome = Navigate("so.youku.com/search_video/q_nested", page);
    ASSERT_EQ(outcome.result, ClassifyResult::PageWritten);
    std::string written = ReadHostFile(m_site.Root().HostOf(outcome.outputPath));
    EXPECT_NE(written.find("<div id=\"detail\">innermost</div>"), std::string::npos);
    EXPECT_EQ(written.find("<div id=\"detail\"><div"), std::string::npos);
}

TEST_F(HostilePagesTest, ListingsStopAtAHundredPages) {
    CreateProgramFolders();
    std::string cards = "<html><body><ul><li class=\"lstTitle\">t</li></ul>" +
                        Repeated("<div class=\"pack_clip\"><a href=\"/v\">v</a></div>", 5000) + "</body></html>";
    NavigationOutcome outcome = Navigate("www.tudou.com/playlist/id/5000/index.html", cards);
    ASSERT_EQ(outcome.result, ClassifyResult::PageWritten);
    EXPECT_TRUE(PageExists(outcome, MaximumListingItems / ItemsPerPage));
    EXPECT_FALSE(PageExists(outcome, MaximumListingItems / ItemsPerPage + 1));

    std::string records;
    for (int i = 0; i < 3500; ++i)
        records += R"({"video_id":"V)" + std::to_string(i) +
                   R"(","video_title":"t","video_cover":"c","video_author":"a","add_time":"86400"},)";
    std::string album = "albumV2.callback({\"video_list\":[" + records + "]});\n";
    Serve("www.56.com/w44/album_v2/album_videolist.phtml?callback=albumV2.callback&aid=9&o=0", album);
    outcome = Visit("http://www.56.com/w44/album-aid-9.html");
    ASSERT_EQ(outcome.result, ClassifyResult::PageWritten);
    EXPECT_TRUE(PageExists(outcome, 100));
    EXPECT_FALSE(PageExists(outcome, 101));
}

} // namespace
