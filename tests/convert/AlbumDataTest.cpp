#include "convert/FiveSixPages.h"
#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(AlbumAddress, TakesTheServerAndTheAlbumFromTheAddress) {
    AlbumAddress album = AlbumAddressOf(L"http://www.56.com/w42/album-aid-98765.html");
    EXPECT_EQ(album.server, "42");
    EXPECT_EQ(album.albumId, "98765");
    EXPECT_EQ(album.data,
              L"http://www.56.com/w42/album_v2/album_videolist.phtml?callback=albumV2.callback&aid=98765&o=0");
    AlbumAddress odd = AlbumAddressOf(L"http://www.56.com/w");
    EXPECT_EQ(odd.server, "");
    EXPECT_EQ(odd.albumId, "");
}

TEST(AlbumData, TrimmingDropsTheWrappingOfTheFirstLine) {
    EXPECT_EQ(TrimAlbumData("albumV2.callback({\"x\":1})\nmore"), "lback({\"x\":1}");
    EXPECT_EQ(TrimAlbumData("0123456789Xabc"), "abc");
    EXPECT_EQ(TrimAlbumData("short"), "");
    EXPECT_EQ(TrimAlbumData("0123456789A\n"), "");
    EXPECT_EQ(TrimAlbumData(""), "");
}

TEST(AlbumData, RecordsAreCutInOrderUntilAKeyIsMissing) {
    std::string one = R"({"video_id":"A","video_title":"t1","video_cover":"c1","video_author":"a1","add_time":"1"})";
    std::string two = R"({"video_id":"B","video_title":"t2","video_cover":"c2","video_author":"a2","add_time":"2"})";
    std::vector<AlbumRecord> records = CutAlbumRecords(one + "," + two);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].videoId, "B");
    EXPECT_EQ(records[1].addTime, "2");

    std::string broken = R"({"video_id":"C","video_title":"t3","video_cover": "c3"})";
    EXPECT_EQ(CutAlbumRecords(one + broken + two).size(), 2u) << "the third record lacks a quoted cover";
    EXPECT_EQ(CutAlbumRecords(R"("video_id":"D)").size(), 0u);
    EXPECT_EQ(CutAlbumRecords(R"("video_id":)").size(), 0u);
}

TEST(AlbumData, DatesAreLocalAndOutOfRangeTimesAreZero) {
    auto utc = std::make_unique<ScopedEnvironment>("TZ", "UTC");
    EXPECT_EQ(AlbumDate("86400"), "1970-01-02");
    EXPECT_EQ(AlbumDate("  1262304000 seconds"), "2010-01-01");
    EXPECT_EQ(AlbumDate("-5"), "0000-00-00");
    EXPECT_EQ(AlbumDate("99999999999999999999999"), "0000-00-00");
    // Times whose year four digits cannot show, up to one whose year overflows an int.
    EXPECT_EQ(AlbumDate("253402300799"), "9999-12-31");
    EXPECT_EQ(AlbumDate("253402300800"), "0000-00-00");
    EXPECT_EQ(AlbumDate("67768036191676799"), "0000-00-00");
    EXPECT_EQ(AlbumDate("abc"), "1970-01-01");
    utc.reset();
    ScopedEnvironment newYork("TZ", "America/New_York");
    EXPECT_EQ(AlbumDate("86400"), "1970-01-01");
}

} // namespace
