#include "platform/base/LastError.h"
#include "platform/inet/WinInet.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Split {
    std::wstring host, path;
    INTERNET_PORT port;
};

// Asks for host and path the way the HTTP client does: null pointers, length 1.
Split HostAndPath(LPCWSTR url) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    EXPECT_TRUE(InternetCrackUrlW(url, static_cast<DWORD>(std::wcslen(url)), 0, &parts)) << GetLastError();
    EXPECT_GE(parts.lpszHostName, url);
    return {std::wstring(parts.lpszHostName, parts.dwHostNameLength),
            std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength), parts.nPort};
}

TEST(CrackUrl, PointsIntoTheAddressAndKeepsTheQueryInThePath) {
    Split plain = HostAndPath(L"http://www.flvcd.com/parse.php?kw=http://v.youku.com/x.html");
    EXPECT_EQ(plain.host, L"www.flvcd.com");
    EXPECT_EQ(plain.path, L"/parse.php?kw=http://v.youku.com/x.html");
    EXPECT_EQ(plain.port, 80);

    Split secure = HostAndPath(L"https://user:pw@Example.org:8443");
    EXPECT_EQ(secure.host, L"Example.org");
    EXPECT_EQ(secure.path, L"");
    EXPECT_EQ(secure.port, 8443);
    EXPECT_EQ(HostAndPath(L"https://a.b/c").port, 443);
}

TEST(CrackUrl, CopiesIntoBuffersAndSplitsExtraInformationOnRequest) {
    wchar_t host[8], path[32], extra[32];
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = 8;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = 32;
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = 32;
    ASSERT_TRUE(InternetCrackUrlW(L"http://so.x/a/b?q=1#top", 0, 0, &parts));
    EXPECT_STREQ(host, L"so.x");
    EXPECT_EQ(parts.dwHostNameLength, 4u);
    EXPECT_STREQ(path, L"/a/b");
    EXPECT_STREQ(extra, L"?q=1#top");
    EXPECT_EQ(parts.nScheme, INTERNET_SCHEME_HTTP);

    parts.dwHostNameLength = 8;
    EXPECT_FALSE(InternetCrackUrlW(L"http://longer.host/", 0, 0, &parts));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(parts.dwHostNameLength, 12u);
}

TEST(CrackUrl, RefusesWhatIsNotAnAddress) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;
    EXPECT_FALSE(InternetCrackUrlW(L"no scheme here", 0, 0, &parts));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    EXPECT_FALSE(InternetCrackUrlW(L"http://", 0, 0, &parts));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INVALID_URL);
    EXPECT_FALSE(InternetCrackUrlW(L"http://h:99999/", 0, 0, &parts));
    parts.dwStructSize = 60;
    EXPECT_FALSE(InternetCrackUrlW(L"http://h/", 0, 0, &parts));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

} // namespace
