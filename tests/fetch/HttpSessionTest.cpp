#include "fetch/HttpSession.h"
#include "support/FixtureSite.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::size_t> g_growth;

void* RecordingRealloc(void* block, std::size_t size) {
    g_growth.push_back(size);
    return std::realloc(block, size);
}

void* FailingRealloc(void*, std::size_t) { return nullptr; }

std::string Expected(std::size_t size) {
    static constexpr char Alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string body(size, ' ');
    for (std::size_t i = 0; i < size; ++i)
        body[i] = (i % 64 == 63) ? '\n' : Alphabet[i % 36];
    return body;
}

class HttpSessionTest : public ::testing::Test {
protected:
    static std::wstring Url(const std::wstring& path) { return L"http://www.youku.com" + path; }
    static const char* Get(HttpSession& session, const std::wstring& path) {
        return session.Request(Url(path).c_str(), false, nullptr, -1);
    }

    FixtureSite m_site;
};

TEST_F(HttpSessionTest, AnEmptyBodyIsAnEmptyString) {
    HttpSession session;
    const char* body = Get(session, L"/_fixture/size/0");
    ASSERT_NE(body, nullptr);
    EXPECT_STREQ(body, "");
}

TEST_F(HttpSessionTest, ALargeBodyArrivesWholeInChunksOfAtMost8191Bytes) {
    g_growth.clear();
    HttpSession session(&RecordingRealloc);
    const char* body = Get(session, L"/_fixture/size/20000");
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(std::strlen(body), 20000u);
    EXPECT_EQ(body, Expected(20000));
    // After each chunk the buffer grows to the total so far plus one more chunk and a zero.
    EXPECT_EQ(g_growth, (std::vector<std::size_t>{8191 + 8192, 16382 + 8192, 20000 + 8192}));
}

TEST_F(HttpSessionTest, ASecondRequestReplacesTheFirst) {
    HttpSession session;
    ASSERT_NE(Get(session, L"/_fixture/size/300"), nullptr);
    const char* second = Get(session, L"/");
    ASSERT_NE(second, nullptr);
    EXPECT_NE(std::strstr(second, "首页"), nullptr);
    EXPECT_EQ(session.BodyLength(), std::strlen(second));
    // A failed request keeps the body of the last one that worked.
    EXPECT_EQ(
        session.Request((L"http://127.0.0.1:" + std::to_wstring(RefusedPort()) + L"/").c_str(), false, nullptr, -1),
        nullptr);
    EXPECT_NE(std::strstr(Get(session, L"/"), "首页"), nullptr);
}

TEST_F(HttpSessionTest, ABrokenOffTransferReturnsWhatArrived) {
    HttpSession session;
    const char* body = Get(session, L"/_fixture/broken/5000");
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body, Expected(5000));
}

TEST_F(HttpSessionTest, FailuresGiveNoBodyAndAnErrorNumber) {
    HttpSession session;
    std::wstring refused = L"http://127.0.0.1:" + std::to_wstring(RefusedPort()) + L"/page.html";
    EXPECT_EQ(session.Request(refused.c_str(), false, nullptr, -1), nullptr);
    EXPECT_EQ(session.LastError(), ERROR_INTERNET_CANNOT_CONNECT);
    EXPECT_EQ(session.Request(nullptr, false, nullptr, -1), nullptr);
    EXPECT_EQ(session.LastError(), HttpSession::NoAddressError);
    EXPECT_EQ(session.Request(L"file:///etc/passwd", false, nullptr, -1), nullptr);
    EXPECT_EQ(session.LastError(), ERROR_INTERNET_UNRECOGNIZED_SCHEME);
}

TEST_F(HttpSessionTest, OnlyAWapConnectionGoesThroughTheProxy) {
    {
        HttpSession direct;
        ASSERT_NE(Get(direct, L"/"), nullptr);
        EXPECT_EQ(m_site.Server().ProxiedRequests(), 0);
    }
    ScopedEnvironment wap("QUILLORA_NETWORK_STATUS", "4");
    HttpSession proxied;
    const char* body = Get(proxied, L"/");
    ASSERT_NE(body, nullptr);
    EXPECT_NE(std::strstr(body, "首页"), nullptr) << body;
    EXPECT_EQ(m_site.Server().ProxiedRequests(), 1);
}

TEST_F(HttpSessionTest, ABufferThatCannotGrowKeepsWhatItHas) {
    HttpSession session(&FailingRealloc);
    const char* body = Get(session, L"/_fixture/size/20000");
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body, Expected(8191));
    EXPECT_EQ(session.LastError(), ERROR_NOT_ENOUGH_MEMORY);
}

TEST_F(HttpSessionTest, RequestsIdentifyAsTheDeviceBrowserAndFollowRedirects) {
    HttpSession session;
    const char* echo = Get(session, L"/_fixture/echo");
    ASSERT_NE(echo, nullptr);
    EXPECT_NE(std::strstr(echo, "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows CE)"), nullptr) << echo;
    EXPECT_NE(std::strstr(echo, "Host: www.youku.com"), nullptr) << echo;
    EXPECT_STREQ(Get(session, L"/_fixture/redirect/3"), "redirected");
}

TEST_F(HttpSessionTest, PostSendsAFormAndTreatsOtherPortsAsEncrypted) {
    HttpSession session;
    const char* echo = session.Request(Url(L"/_fixture/echo?x=1").c_str(), true, "a=1&b=%E4", -1);
    ASSERT_NE(echo, nullptr);
    std::string text = echo;
    EXPECT_EQ(text.rfind("POST /_fixture/echo?x=1\n", 0), 0u) << text;
    EXPECT_NE(text.find("Content-Type: application/x-www-form-urlencoded\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 9), "a=1&b=%E4");

    // The fixture server speaks plain HTTP, so an encrypted connection cannot be set up.
    EXPECT_EQ(session.Request(L"http://www.youku.com:443/_fixture/echo", true, "a=1", 3), nullptr);
    EXPECT_EQ(session.LastError(), ERROR_INTERNET_SECURITY_CHANNEL_ERROR);
}

TEST_F(HttpSessionTest, SessionsOnSeveralThreadsDoNotMeet) {
    std::vector<std::thread> workers;
    std::vector<std::string> bodies(4);
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        workers.emplace_back([&, i] {
            HttpSession session;
            if (const char* body = Get(session, L"/_fixture/size/" + std::to_wstring(10000 * (i + 1))))
                bodies[i] = body;
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    for (std::size_t i = 0; i < bodies.size(); ++i)
        EXPECT_EQ(bodies[i], Expected(10000 * (i + 1)));
}

} // namespace
