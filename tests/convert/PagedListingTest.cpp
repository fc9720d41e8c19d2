#include "convert/PagedListing.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/base/Utf8.h"
#include "settings/ProgramFolder.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

namespace {

std::string Current(std::size_t page) { return "<li class='now'>" + std::to_string(page) + "</li>"; }

class PagedListingTest : public ::testing::Test {
protected:
    PagedListingTest() { CreateProgramFolders(); }

    std::string Page(std::size_t page) { return ReadHostFile(m_root.HostOf(PagePath(m_request.OutputPath(), page))); }
    std::string DevicePath(std::size_t page) { return platform::Utf8FromWide(PagePath(m_request.OutputPath(), page)); }

    TemporaryRoot m_root;
    ScriptedCoreUi m_ui;
    NavigationRequest m_request{m_ui};
};

TEST_F(PagedListingTest, ThirtyOneItemsMakeTwoPagesWithTheirBars) {
    std::vector<std::string> items;
    for (int i = 1; i <= 31; ++i)
        items.push_back("<i>" + std::to_string(i) + "</i>");
    m_ui.ShowWaitDialog(nullptr, nullptr, 1);
    EXPECT_TRUE(WritePagedListing(m_request, "HEAD", "TITLE", items, &Current));

    std::string first, second = "<i>31</i>";
    for (int i = 1; i <= 30; ++i)
        first += "<i>" + std::to_string(i) + "</i>";
    const std::string list = "<div id='programListBox' class='pack_clip'>";
    const std::string bar = "</div><div class=\"clear\"></div><div id='pagebarBox' class='page_nav'><ul>";
    const std::string end = "</ul></div></div></body></html>\n";
    EXPECT_EQ(Page(1), "HEADTITLE" + list + first + bar + "<li class='now'>1</li><li><a href='" + DevicePath(2) +
                           "'>2</a></li>" + end);
    EXPECT_EQ(Page(2), "HEADTITLE" + list + second + bar + "<li><a href='" + DevicePath(1) + "'>1</a></li>" +
                           "<li class='now'>2</li>" + end);
    EXPECT_EQ(DevicePath(2), DevicePath(1).substr(0, DevicePath(1).size() - 5) + "2.html");
    EXPECT_EQ(Page(3), "");

    std::vector<FeedbackRecord> records = m_ui.Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].kind, FeedbackRecord::Kind::CloseWait);
}

TEST_F(PagedListingTest, AListWithoutItemsStillGivesTheBrowserAPage) {
    EXPECT_TRUE(WritePagedListing(m_request, "HEAD", "TITLE", {}, &Current));
    EXPECT_EQ(Page(1), "HEADTITLE<div id='programListBox' class='pack_clip'></div><div class=\"clear\"></div>"
                       "<div id='pagebarBox' class='page_nav'><ul></ul></div></div></body></html>\n");
    EXPECT_EQ(Page(2), "");
}

} // namespace
