#include "platform/inet/WinInet.h"
#include "platform/base/LastError.h"
#include "support/FixtureSite.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class WinInetTest : public ::testing::Test {
protected:
    void SetUp() override { m_internet = InternetOpenW(L"test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0); }
    void TearDown() override { InternetCloseHandle(m_internet); }

    HINTERNET Open(const std::wstring& path) {
        return InternetOpenUrlW(m_internet, (L"http://www.youku.com" + path).c_str(), nullptr, 0, 0, 0);
    }

    FixtureSite m_site;
    HINTERNET m_internet = nullptr;
};

TEST_F(WinInetTest, ReadsNeverExceedTheRequestedSize) {
    HINTERNET url = Open(L"/_fixture/size/2500");
    ASSERT_NE(url, nullptr);
    char buffer[1000];
    DWORD read = 0;
    std::vector<DWORD> sizes;
    while (InternetReadFile(url, buffer, sizeof buffer, &read) && read > 0)
        sizes.push_back(read);
    EXPECT_EQ(sizes, (std::vector<DWORD>{1000, 1000, 500}));
    EXPECT_TRUE(InternetCloseHandle(url));
}

TEST_F(WinInetTest, AnErrorStatusStillHasItsBody) {
    HINTERNET url = Open(L"/no/such/page.html");
    ASSERT_NE(url, nullptr);
    char buffer[256];
    DWORD read = 0;
    ASSERT_TRUE(InternetReadFile(url, buffer, sizeof buffer, &read));
    EXPECT_EQ(std::string(buffer, read).rfind("not found", 0), 0u);
    InternetCloseHandle(url);
}

TEST_F(WinInetTest, ABrokenTransferFailsAfterItsData) {
    HINTERNET url = Open(L"/_fixture/broken/3000");
    ASSERT_NE(url, nullptr);
    char buffer[8191];
    DWORD read = 0;
    ASSERT_TRUE(InternetReadFile(url, buffer, sizeof buffer, &read));
    EXPECT_EQ(read, 3000u);
    EXPECT_FALSE(InternetReadFile(url, buffer, sizeof buffer, &read));
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_CONNECTION_ABORTED);
    InternetCloseHandle(url);
}

TEST_F(WinInetTest, ASilentServerTimesOut) {
    DWORD timeout = 200;
    ASSERT_TRUE(InternetSetOptionW(m_internet, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout));
    ASSERT_TRUE(InternetSetOptionW(m_internet, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout));
    EXPECT_EQ(Open(L"/_fixture/delay/1500"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_TIMEOUT);
}

TEST_F(WinInetTest, HandlesAreCheckedForTheirKind) {
    DWORD read = 0;
    char buffer[4];
    EXPECT_FALSE(InternetReadFile(m_internet, buffer, sizeof buffer, &read));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    HINTERNET url = Open(L"/");
    ASSERT_NE(url, nullptr);
    EXPECT_EQ(InternetOpenUrlW(url, L"http://www.youku.com/", nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    ASSERT_TRUE(InternetCloseHandle(url));
    EXPECT_FALSE(InternetReadFile(url, buffer, sizeof buffer, &read));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(InternetCloseHandle(url));
}

TEST_F(WinInetTest, OnlyWebAddressesAreOpened) {
    EXPECT_EQ(InternetOpenUrlW(m_internet, L"ftp://www.youku.com/x", nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    EXPECT_EQ(InternetOpenUrlW(m_internet, L"not an address", nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INVALID_URL);
    // A space is escaped on the way out, as the device's library does.
    HINTERNET url = Open(L"/_fixture/echo?q=a b");
    ASSERT_NE(url, nullptr);
    char buffer[512];
    DWORD read = 0;
    ASSERT_TRUE(InternetReadFile(url, buffer, sizeof buffer, &read));
    EXPECT_EQ(std::string(buffer, read).rfind("GET /_fixture/echo?q=a%20b\n", 0), 0u);
    InternetCloseHandle(url);
}

} // namespace

namespace {

// A self-signed certificate for www.youku.com, made for the test.
std::string MakeCertificate(const TemporaryRoot& scratch) {
    std::string directory = scratch.Path().string();
    std::string command = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
                          " -subj /CN=www.youku.com -addext subjectAltName=DNS:www.youku.com"
                          " -keyout " +
                          directory + "/key.pem -out " + directory + "/cert.pem 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return directory;
}

TEST(WinInetHttps, CertificatesAreChecked) {
    TemporaryRoot scratch(TemporaryRoot::Image::None);
    std::string directory = MakeCertificate(scratch);
    FixtureServer server(QUILLORA_FIXTURE_SITES, directory + "/cert.pem", directory + "/key.pem");
    ASSERT_GT(server.Start(), 0);
    std::string target = "127.0.0.1:" + std::to_string(server.Port());
    WriteHostFile(scratch.Host("hosts"), "www.youku.com " + target + "\nimposter.youku.com " + target + "\n");
    ScopedEnvironment hosts("QUILLORA_HOSTS", scratch.Host("hosts").string());
    HINTERNET internet = InternetOpenW(L"test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);

    EXPECT_EQ(InternetOpenUrlW(internet, L"https://www.youku.com/", nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INVALID_CA);

    ScopedEnvironment trusted("QUILLORA_CA_BUNDLE", directory + "/cert.pem");
    HINTERNET page = InternetOpenUrlW(internet, L"https://www.youku.com/", nullptr, 0, 0, 0);
    ASSERT_NE(page, nullptr) << GetLastError();
    char buffer[512];
    DWORD read = 0;
    ASSERT_TRUE(InternetReadFile(page, buffer, sizeof buffer, &read));
    EXPECT_NE(std::string(buffer, read).find("首页"), std::string::npos);
    InternetCloseHandle(page);

    EXPECT_EQ(InternetOpenUrlW(internet, L"https://imposter.youku.com/", nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_SEC_CERT_CN_INVALID);
    InternetCloseHandle(internet);
}

} // namespace
