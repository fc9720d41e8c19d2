#include "playback/Playlist.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(Playlist, EachEntryIsTwoLinesWhateverItHolds) {
    EXPECT_EQ(PlaylistText({{"a", "http://x/1.flv"}, {"b\r\nc", "http://x/2.flv\n#EXTINF:0,evil"}}),
              "#EXTM3U\n#EXTINF:0,a\nhttp://x/1.flv\n#EXTINF:0,b  c\nhttp://x/2.flv\n");
}

TEST(Playlist, StreamAddressesLoseTheLineBreaksAroundThem) {
    EXPECT_EQ(StreamAddress("http://h/a-1.flv\r\n"), "http://h/a-1.flv");
    EXPECT_EQ(StreamAddress(" \t\r\nhttp://h/a-1.flv \n"), "http://h/a-1.flv");
    EXPECT_EQ(StreamAddress("\r\nhttp://h/a.flv\r\ninjected\r\n"), "http://h/a.flv");
    EXPECT_EQ(StreamAddress("http://h/a b.flv"), "http://h/a b.flv");
    EXPECT_EQ(StreamAddress(" \r\n "), "");
}

TEST(Playlist, WritersFinishingTogetherNeverMixTheirLines) {
    TemporaryRoot root;
    const std::string first = PlaylistText({{"first", "http://x/1.flv"}, {"first", "http://x/2.flv"}});
    const std::string second = PlaylistText({{"second", "http://y/1.flv"}});
    ASSERT_TRUE(WritePlaylistFile(first));
    std::atomic<bool> stop{false};
    std::atomic<int> mixed{0};
    std::thread reader([&] {
        while (!stop) {
            std::string seen = ReadHostFile(root.Host("Quillora/Data/video.m3u"));
            if (seen != first && seen != second)
                ++mixed;
        }
    });
    std::vector<std::thread> writers;
    for (const std::string* text : {&first, &second, &first, &second}) {
        writers.emplace_back([text] {
            for (int i = 0; i < 200; ++i)
                WritePlaylistFile(*text);
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    stop = true;
    reader.join();
    EXPECT_EQ(mixed, 0);
    // No temporary file is left behind.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root.Host("Quillora/Data")))
        files += entry.path().extension() == ".tmp";
    EXPECT_EQ(files, 0);
}

} // namespace
