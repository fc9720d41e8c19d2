#include "platform/text/CodePages.h"
#include "platform/base/LastError.h"
#include "platform/text/AnsiText.h"
#include "platform/text/GbkCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string FailureGbk = "\xBB\xF1\xC8\xA1\xCA\xFD\xBE\xDD\xCA\xA7\xB0\xDC\xA3\xA1";
const std::wstring FailureText = L"获取数据失败！";

std::string ToAnsi(const std::wstring& text, BOOL* usedDefault = nullptr, const char* defaultChar = nullptr) {
    int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, defaultChar,
                                   usedDefault);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, defaultChar,
                        usedDefault);
    return out;
}

TEST(CodePages, AnsiIsGbkBothWays) {
    EXPECT_EQ(ToAnsi(FailureText), FailureGbk);
    EXPECT_EQ(ToAnsi(L"\u00B7\u20AC"), "\xA1\xA4\x80");

    wchar_t wide[16] = {};
    int length = MultiByteToWideChar(936, 0, FailureGbk.c_str(), static_cast<int>(FailureGbk.size()), wide, 16);
    EXPECT_EQ(std::wstring(wide, length), FailureText);
}

TEST(CodePages, TerminatedInputCountsItsTerminator) {
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", -1, nullptr, 0), 3);
    wchar_t wide[3] = {L'x', L'x', L'x'};
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", -1, wide, 3), 3);
    EXPECT_EQ(wide[2], L'\0');

    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"获取", -1, nullptr, 0, nullptr, nullptr), 5);
    // Counted input keeps an embedded zero and adds none.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\0b", 3, wide, 3), 3);
    EXPECT_EQ(wide[1], L'\0');
}

TEST(CodePages, TooSmallOutputFailsWithInsufficientBuffer) {
    char narrow[4];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"获取数据", -1, narrow, 4, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    wchar_t wide[2];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, wide, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(CodePages, UnmappableCharactersBecomeTheDefaultCharacter) {
    BOOL usedDefault = FALSE;
    EXPECT_EQ(ToAnsi(L"a\U0001F600b", &usedDefault), "a?b");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(ToAnsi(L"a\U0001F600b", &usedDefault, "#"), "a#b");
    EXPECT_EQ(ToAnsi(L"ab", &usedDefault), "ab");
    EXPECT_FALSE(usedDefault);
}

TEST(CodePages, InvalidInputIsReplacedOrRefusedOnRequest) {
    wchar_t wide[8] = {};
    // A GBK lead byte followed by a byte that cannot trail it, and a lead byte cut off at the end.
    EXPECT_EQ(MultiByteToWideChar(936, 0, "\x81\x20z\xB0", 4, wide, 8), 4);
    EXPECT_EQ(std::wstring(wide, 4), L"? z?");
    EXPECT_EQ(MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, "\x81\x20", 2, wide, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);

    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xC3z", 3, wide, 8), 3);
    EXPECT_EQ(std::wstring(wide, 3), L"a\uFFFDz");
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xC3z", 3, wide, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

TEST(CodePages, EveryGbkCharacterRoundTrips) {
    int characters = 0, different = 0;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            wchar_t wide[2];
            if (MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, pair, 2, wide, 2) != 1)
                continue;
            ++characters;
            char back[4];
            int size = WideCharToMultiByte(936, 0, wide, 1, back, 4, nullptr, nullptr);
            different += size != 2 || back[0] != pair[0] || back[1] != pair[1];
        }
    }
    EXPECT_GT(characters, 21000);
    EXPECT_EQ(different, 0);
}

TEST(CodePages, OnePassUtf8ToAnsiMatchesTheTwoCalls) {
    const std::string samples[] = {"",
                                   "ascii only",
                                   "获取数据失败！ ok",
                                   "a\xC3z\xE4\xB8",
                                   "\xF0\x9F\x98\x80 emoji",
                                   "\xED\xA0\x80 surrogate",
                                   "\xC2\xB7\xE2\x82\xAC\xE3\x83\xBB middle dots"};
    for (const std::string& utf8 : samples) {
        std::wstring wide(utf8.size() + 1, L'\0');
        int wideSize = utf8.empty() ? 0
                                    : MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                          wide.data(), static_cast<int>(wide.size()));
        wide.resize(wideSize);
        EXPECT_EQ(platform::AnsiFromUtf8(utf8), ToAnsi(wide)) << utf8;
    }
}

TEST(CodePages, ParametersWin32RefusesAreRefused) {
    BOOL usedDefault;
    char narrow[8];
    wchar_t wide[8];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"a", -1, narrow, 8, nullptr, &usedDefault), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", -1, wide, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", 0, wide, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, 1, wide, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "a", -1, wide, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
}

} // namespace

namespace {

TEST(GbkCodec, ACharsetTheSystemLacksFailsByValue) {
    platform::GbkCodec broken("NO-SUCH-CHARSET");
    EXPECT_FALSE(broken.IsUsable());
    bool flag = false;
    EXPECT_FALSE(broken.FromUtf8("abc"));
    EXPECT_FALSE(broken.ToWide("abc", L'?', flag));
    EXPECT_FALSE(broken.FromWide(L"abc", "?", flag));
    EXPECT_TRUE(platform::GbkCodec::System().IsUsable());
}

} // namespace
