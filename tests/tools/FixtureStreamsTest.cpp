// The demo site's stream addresses: with a folder of clips, "/flv/<name>" on any host
// answers with the clip of the name's part number, also to a player that comes through
// the site as a proxy; the site's own files come first.

#include "FixtureServer.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <string>

namespace {

class FixtureStreamsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int part = 1; part <= 2; ++part)
            WriteHostFile(root.Path() / "media" / ("part-" + std::to_string(part) + ".flv"),
                          "clip " + std::to_string(part));
    }
    // The body answered for the address on `host`, or the status when it is not 200.
    static std::string Body(int port, const std::string& host, const std::string& path, bool proxied = false) {
        // Through a proxy the request line carries the whole address, host and all.
        httplib::Client client(proxied ? host : "127.0.0.1", proxied ? 80 : port);
        if (proxied)
            client.set_proxy("127.0.0.1", port);
        httplib::Result result =
            proxied ? client.Get(path.c_str()) : client.Get(path.c_str(), httplib::Headers{{"Host", host}});
        if (!result)
            return "no answer";
        return result->status == 200 ? result->body : "status " + std::to_string(result->status);
    }

    TemporaryRoot root{TemporaryRoot::Image::None};
};

TEST_F(FixtureStreamsTest, AStreamGetsTheClipOfItsPartNumberCountedRoundTheClips) {
    FixtureServer server(QUILLORA_FIXTURE_SITES);
    server.SetStreamFolder(root.Path() / "media");
    int port = server.Start();
    ASSERT_GT(port, 0);
    EXPECT_EQ(Body(port, "www.youku.com", "/flv/kungfu-panda-02.flv"), "clip 2");
    EXPECT_EQ(Body(port, "127.0.0.1", "/flv/kungfu-panda-03.flv"), "clip 1") << "three is the first again";
    EXPECT_EQ(Body(port, "6.cn", "/flv/cut"), "clip 1") << "no number: the first";
    EXPECT_EQ(Body(port, "6.cn", "/flv/x-0.flv"), "clip 1");
    EXPECT_EQ(Body(port, "www.youku.com", "/flv/a-99999999999999999999.flv"), "clip 1") << "a number too long";
    EXPECT_EQ(Body(port, "www.56.com", "/flv/two-2.flv", true), "clip 2") << "through the site as a proxy";
    EXPECT_EQ(server.ProxiedRequests(), 1);
    EXPECT_EQ(Body(port, "www.youku.com", "/mp4/a-2.mp4"), "status 404") << "only stream addresses";
}

TEST_F(FixtureStreamsTest, WithoutClipsAStreamIsNotFound) {
    FixtureServer server(QUILLORA_FIXTURE_SITES);
    server.SetStreamFolder(root.Path() / "none");
    int port = server.Start();
    ASSERT_GT(port, 0);
    EXPECT_EQ(Body(port, "www.youku.com", "/flv/kungfu-panda-02.flv"), "status 404");
}

} // namespace
