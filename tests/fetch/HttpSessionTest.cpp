#include "fetch/HttpSession.h"
#include "support/FixtureSite.h"
#include "support/HostileReplies.h"

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
    // The buffer always has room for one more chunk and a zero, and doubles when it grows.
    EXPECT_EQ(g_growth, (std::vector<std::size_t>{2 * 8193, 4 * 8193}));

    g_growth.clear();
    ASSERT_NE(Get(session, L"/_fixture/size/4000000"), nullptr);
    EXPECT_EQ(session.BodyLength(), 4000000u);
    EXPECT_LE(g_growth.size(), 10u);
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

TEST_F(HttpSessionTest, ABrokenOffTransferIsAFailureNotAShortPage) {
    HttpSession session;
    EXPECT_EQ(Get(session, L"/_fixture/broken/5000"), nullptr);
    EXPECT_EQ(session.LastError(), ERROR_INTERNET_CONNECTION_ABORTED);
    EXPECT_EQ(session.BodyLength(), 0u);
}

TEST_F(HttpSessionTest, AnErrorStatusFailsWithTheStatusAsItsNumber) {
    HttpSession session;
    EXPECT_EQ(Get(session, L"/_fixture/status/500"), nullptr);
    EXPECT_EQ(session.LastError(), 500u);
    EXPECT_EQ(Get(session, L"/no-such-page.html"), nullptr);
    EXPECT_EQ(session.LastError(), 404u);
    // Below 400 an answer is content, whatever its status.
    EXPECT_STREQ(Get(session, L"/_fixture/status/203"), "status 203\n");
}

TEST_F(HttpSessionTest, ABodyAboveTheLimitIsRefused) {
    HttpSession session;
    std::wstring justOver = L"/_fixture/size/" + std::to_wstring(HttpSession::MaximumBody + 1);
    EXPECT_EQ(Get(session, justOver), nullptr);
    EXPECT_EQ(session.LastError(), HttpSession::BodyTooLargeError);
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

TEST_F(HttpSessionTest, ABufferThatCannotGrowFailsTheRequest) {
    HttpSession session(&FailingRealloc);
    EXPECT_EQ(Get(session, L"/_fixture/size/20000"), nullptr);
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

// Servers and networks that misbehave once a response has begun.
class HostileTransferTest : public ::testing::Test {
protected:
    HostileTransferTest() {
        WriteHostFile(m_site.HostMapFile(), "www.youku.com 127.0.0.1:" + std::to_string(m_server.Port()) + "\n");
    }
    DWORD Fails(const std::wstring& path) {
        HttpSession session;
        EXPECT_EQ(session.Request((L"http://www.youku.com" + path).c_str(), false, nullptr, -1), nullptr) << path;
        return session.LastError();
    }
    static RawReply Answer(const RawRequest& request) {
        return FaultReply(request.target.substr(1)).value_or(PlainReply(200, "fine"));
    }

    FixtureSite m_site;
    RawServer m_server{&Answer};
    ScopedEnvironment m_receive{"QUILLORA_RECEIVE_TIMEOUT_MS", "700"};
    ScopedEnvironment m_total{"QUILLORA_REQUEST_TIMEOUT_MS", "1500"};
};

TEST_F(HostileTransferTest, FailuresAfterTheFirstHeaderAreFailures) {
    EXPECT_EQ(Fails(L"/loop"), ERROR_HTTP_REDIRECT_FAILED);
    EXPECT_EQ(Fails(L"/to-file"), ERROR_HTTP_REDIRECT_FAILED);
    EXPECT_NE(Fails(L"/bad-chunk"), ERROR_SUCCESS);
    EXPECT_EQ(Fails(L"/cut-chunk"), ERROR_INTERNET_CONNECTION_ABORTED);
    EXPECT_NE(Fails(L"/bad-length"), ERROR_SUCCESS);
    EXPECT_EQ(Fails(L"/cut"), ERROR_INTERNET_CONNECTION_ABORTED);
    EXPECT_EQ(Fails(L"/error-page"), 500u);
    HttpSession session;
    EXPECT_STREQ(session.Request(L"http://www.youku.com/", false, nullptr, -1), "fine");
}

TEST_F(HostileTransferTest, SilenceAndASlowDripTimeOut) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Fails(L"/silence"), ERROR_INTERNET_TIMEOUT);
    // Each byte of the drip comes well inside the receive timeout: only the limit on the
    // whole request ends it.
    EXPECT_EQ(Fails(L"/drip"), ERROR_INTERNET_TIMEOUT);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
}

} // namespace
