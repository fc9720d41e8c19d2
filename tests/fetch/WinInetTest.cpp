#include "platform/base/LastError.h"
#include "platform/inet/WinInet.h"
#include "support/FixtureSite.h"

#include <gtest/gtest.h>

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
