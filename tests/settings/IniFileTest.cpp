#include "settings/IniFile.h"
#include "platform/base/Utf8.h"
#include "platform/fs/FileApi.h"
#include "settings/ProgramFolder.h"
#include "support/IniBytes.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr LPCWSTR File = L"\\Setting.ini";

std::string Ini(std::u16string_view text) { return IniBytes(text); }

// Temporary files left behind by writes.
int TemporaryFilesIn(const std::filesystem::path& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += entry.path().extension() == ".tmp";
    return count;
}

// Lowers the size a file may grow to for one scope; a write past it fails instead of
// ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, m_previous.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        ::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_previous{};
    sighandler_t m_handler;
};

class IniFileTest : public ::testing::Test {
protected:
    void Given(const std::string& bytes) { WriteHostFile(m_root.Host("Setting.ini"), bytes); }
    std::string Bytes() const { return ReadHostFile(m_root.Host("Setting.ini")); }

    TemporaryRoot m_root{TemporaryRoot::Image::None};
};

struct WriteCase {
    const char* what;
    std::u16string before;
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;
    std::string after;
};

TEST_F(IniFileTest, WritesGiveExactlyTheseBytes) {
    const WriteCase cases[] = {
        {"a file of only the mark gets a header without a line end before or after", u"", L"Network", L"IsWLAN", L"1",
         Ini(u"[Network]\r\n  IsWLAN=1")},
        {"a key missing from the last section is appended at the end", u"[Player]\r\n  EnableFtVideo=1", L"Player",
         L"Path", L"\\Program Files\\p.exe", Ini(u"[Player]\r\n  EnableFtVideo=1\r\n  Path=\\Program Files\\p.exe")},
        {"replacing a value keeps every other byte", u"[A]\r\n  k=old\r\n  kk=2\r\n[B]\r\n  k=3", L"A", L"k", L"new",
         Ini(u"[A]\r\n  k=new\r\n  kk=2\r\n[B]\r\n  k=3")},
        {"replacing the very last value", u"[A]\r\n  k=old", L"A", L"k", L"", Ini(u"[A]\r\n  k=")},
        {"a key missing from an inner section goes before the next header", u"[A]\r\n  x=1\r\n[B]\r\n  y=2", L"A", L"k",
         L"v", Ini(u"[A]\r\n  x=1\r\n  k=v\r\n[B]\r\n  y=2")},
        {"a missing section is appended after a line end", u"[A]\r\n  x=1", L"B", L"k", L"v",
         Ini(u"[A]\r\n  x=1\r\n[B]\r\n  k=v")},
        {"a header not followed by CR is no header, until the section appended after it gives it one",
         u"[A]\r\n  x=1\r\n[Network]", L"Network", L"IsWLAN", L"0",
         Ini(u"[A]\r\n  x=1\r\n[Network]\r\n  IsWLAN=0\r\n[Network]\r\n  IsWLAN=0")},
        {"section names are compared with their case", u"[network]\r\n  IsWLAN=1", L"Network", L"IsWLAN", L"0",
         Ini(u"[network]\r\n  IsWLAN=1\r\n[Network]\r\n  IsWLAN=0")},
        {"a key in the next section is not this section's", u"[A]\r\n  x=1\r\n[B]\r\n  k=2", L"A", L"k", L"9",
         Ini(u"[A]\r\n  x=1\r\n  k=9\r\n[B]\r\n  k=2")},
        {"an occurrence without = is skipped", u"[A]\r\n  kx=1\r\n  k=2", L"A", L"k", L"3",
         Ini(u"[A]\r\n  kx=1\r\n  k=3")},
        {"wide text is stored as UTF-16", u"[Player]\r\n  Path=", L"Player", L"Path", L"\\存储卡\\𝄞.exe",
         Ini(u"[Player]\r\n  Path=\\存储卡\\𝄞.exe")},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.what);
        Given(Ini(c.before));
        EXPECT_TRUE(IniWriteString(c.section, c.key, c.value, File));
        EXPECT_EQ(Bytes(), c.after);
    }
}

TEST_F(IniFileTest, ReadsFindTheValueOfTheirSection) {
    Given(Ini(u"[Network]\r\n  IsWLAN=\r\n  AutoConnect=-12abc\r\n[Player]\r\n  Path=\\Windows\\p.exe\r\n  X=1"));
    std::wstring text;
    ASSERT_TRUE(IniReadString(L"Player", L"Path", text, File));
    EXPECT_EQ(text, L"\\Windows\\p.exe");
    ASSERT_TRUE(IniReadString(L"Player", L"X", text, File));
    EXPECT_EQ(text, L"1");

    int number = 7;
    ASSERT_TRUE(IniReadInt(L"Network", L"IsWLAN", number, File));
    EXPECT_EQ(number, 0);
    ASSERT_TRUE(IniReadInt(L"Network", L"AutoConnect", number, File));
    EXPECT_EQ(number, -12);

    number = 7;
    EXPECT_FALSE(IniReadInt(L"Network", L"Path", number, File));
    EXPECT_FALSE(IniReadInt(L"network", L"IsWLAN", number, File));
    EXPECT_FALSE(IniReadInt(L"Player", L"IsWLAN", number, File));
    EXPECT_EQ(number, 7);
}

TEST_F(IniFileTest, DamagedFilesLeaveTheDefaults) {
    const std::string damaged[] = {
        "",
        "\xFF",
        "[Network]\r\n  IsWLAN=0",                                                    // no mark: a UTF-8 or ANSI file
        Ini(u"[Network]\r\n  IsWLAN=0").substr(0, 13),                                // cut inside the key
        Ini(u"[Netw"),                                                                // section name cut by the end
        Ini(u"[Network"),                                                             // header without "]"
        Ini(u"[Network]\r\n  IsWLAN"),                                                // key without "="
        Ini(u"[Network]\r\n") + std::string("\0\0", 2) + Utf16LeBytes(u"  IsWLAN=0"), // text ends at a zero
    };
    for (const std::string& bytes : damaged) {
        Given(bytes);
        int value = 1;
        std::wstring text = L"default";
        IniReadInt(L"Network", L"IsWLAN", value, File);
        IniReadString(L"Network", L"IsWLAN", text, File);
        EXPECT_TRUE(value == 1 || value == 0);
        EXPECT_NE(text, L"0") << bytes.size();
        EXPECT_EQ(value, 1) << bytes.size();
    }
}

TEST_F(IniFileTest, AStrayLastByteIsOneMoreCharacter) {
    // Read as if the file went on with zero bytes: "7" becomes the unit 0x0037.
    Given(Ini(u"[Network]\r\n  IsWLAN=0") + "7");
    int value = 1;
    ASSERT_TRUE(IniReadInt(L"Network", L"IsWLAN", value, File));
    EXPECT_EQ(value, 7);
    // Units written behind the stray byte would be shifted by it: the damaged file is left alone.
    EXPECT_FALSE(IniWriteInt(L"Network", L"IsWLAN", 1, File));
    EXPECT_FALSE(IniWriteInt(L"Player", L"EnableFtVideo", 1, File));
    EXPECT_EQ(Bytes(), Ini(u"[Network]\r\n  IsWLAN=0") + "7");
}

TEST_F(IniFileTest, WritesFailWithoutAUsableFile) {
    std::wstring text;
    EXPECT_FALSE(IniWriteString(L"Network", L"IsWLAN", L"1", File));
    EXPECT_FALSE(std::filesystem::exists(m_root.Host("Setting.ini")));

    Given("[Network]\r\n  IsWLAN=0");
    EXPECT_FALSE(IniWriteInt(L"Network", L"IsWLAN", 1, File));
    EXPECT_EQ(Bytes(), "[Network]\r\n  IsWLAN=0");

    Given(Ini(u"[A]\r\n  k=1"));
    EXPECT_FALSE(IniWriteString(L"", L"k", L"2", File));
    EXPECT_FALSE(IniWriteString(L"A", L"", L"2", File));
    EXPECT_FALSE(IniReadString(L"A", L"", text, File));
    EXPECT_FALSE(IniWriteString(nullptr, L"k", L"2", File));
    EXPECT_FALSE(IniWriteString(L"A", L"k", nullptr, File));
}

TEST_F(IniFileTest, ABrokenWriteLeavesTheOldFile) {
    Given(Ini(u"[A]\r\n  k=1"));
    {
        // Files may not grow beyond 8 bytes: the new content cannot be written.
        FileSizeLimit limit(8);
        EXPECT_FALSE(IniWriteInt(L"A", L"k", 2, File));
    }
    EXPECT_EQ(Bytes(), Ini(u"[A]\r\n  k=1"));
    EXPECT_EQ(TemporaryFilesIn(m_root.Path()), 0);

    // A reader that opened the file before a write keeps reading the whole old file.
    HANDLE reader = CreateFileW(File, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(IniWriteInt(L"A", L"k", 2, File));
    char buffer[64];
    DWORD read = 0;
    ReadFile(reader, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(reader);
    EXPECT_EQ(std::string(buffer, read), Ini(u"[A]\r\n  k=1"));
    EXPECT_EQ(Bytes(), Ini(u"[A]\r\n  k=2"));
    EXPECT_EQ(TemporaryFilesIn(m_root.Path()), 0);
}

TEST_F(IniFileTest, TwoProcessesWritingAtOnceLoseNothing) {
    Given(Ini(u"[A]\r\n  first=0\r\n  second=0"));
    // Each child exits with the number of its writes that failed.
    auto writer = [](const wchar_t* key) {
        pid_t child = ::fork();
        if (child == 0) {
            int failed = 0;
            for (int i = 1; i <= 200; ++i)
                failed += !IniWriteInt(L"A", key, i, File);
            ::_exit(std::min(failed, 100));
        }
        return child;
    };
    pid_t children[] = {writer(L"first"), writer(L"second")};
    int unreadable = 0;
    for (pid_t child : children) {
        int status = 0;
        while (::waitpid(child, &status, WNOHANG) == 0) {
            int value = 0;
            unreadable += !IniReadInt(L"A", L"first", value, File) || !IniReadInt(L"A", L"second", value, File);
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writes failed: " << WEXITSTATUS(status);
    }
    EXPECT_EQ(unreadable, 0);
    // Every write succeeded and none was lost: each key holds its writer's last value.
    EXPECT_EQ(Bytes(), Ini(u"[A]\r\n  first=200\r\n  second=200"));
    EXPECT_EQ(TemporaryFilesIn(m_root.Path()), 0);
}

TEST_F(IniFileTest, WhatFollowsAZeroCharacterSurvivesEveryWrite) {
    const std::string hidden = std::string("\0\0", 2) + Utf16LeBytes(u"[Hidden]\r\n  kept=1");
    struct Case {
        const char* what;
        const wchar_t* section;
        const wchar_t* key;
        std::u16string text; // before the zero character, after the write
    };
    const Case cases[] = {
        {"a value replaced", L"Network", L"IsWLAN", u"[Network]\r\n  IsWLAN=7\r\n[Player]\r\n  Path="},
        {"a key added before the next section", L"Network", L"AutoConnect",
         u"[Network]\r\n  IsWLAN=0\r\n  AutoConnect=7\r\n[Player]\r\n  Path="},
        {"a key added to the last section goes before the zero", L"Player", L"EnableFtVideo",
         u"[Network]\r\n  IsWLAN=0\r\n[Player]\r\n  Path=\r\n  EnableFtVideo=7"},
        {"a section added goes before the zero", L"Browser", L"IsCache",
         u"[Network]\r\n  IsWLAN=0\r\n[Player]\r\n  Path=\r\n[Browser]\r\n  IsCache=7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Given(Ini(u"[Network]\r\n  IsWLAN=0\r\n[Player]\r\n  Path=") + hidden);
        ASSERT_TRUE(IniWriteInt(c.section, c.key, 7, File));
        EXPECT_EQ(Bytes(), Ini(c.text) + hidden);
        int value = 0;
        EXPECT_TRUE(IniReadInt(c.section, c.key, value, File));
        EXPECT_EQ(value, 7);
    }
}

TEST_F(IniFileTest, AValueWithALineBreakIsRefused) {
    Given(Ini(u"[Player]\r\n  Path=\r\n[Network]\r\n  IsWLAN=1"));
    for (const wchar_t* value : {L"x\r\n[Network]\r\n  IsWLAN=0", L"x\n[Network]", L"x\r"})
        EXPECT_FALSE(IniWriteString(L"Player", L"Path", value, File));
    EXPECT_EQ(Bytes(), Ini(u"[Player]\r\n  Path=\r\n[Network]\r\n  IsWLAN=1"));
}

TEST(ShippedSettings, HoldEveryKeyAtItsDefault) {
    TemporaryRoot root;
    std::wstring file = ProgramFolderPath(L"\\Data\\Setting.ini");
    EXPECT_EQ(file, L"\\Quillora\\Data\\Setting.ini");
    struct Key {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
    };
    for (Key k : {Key{L"Network", L"IsWLAN", L"1"}, Key{L"Network", L"AutoConnect", L"1"},
                  Key{L"Network", L"FlvParseServer", L"0"}, Key{L"Browser", L"IsCache", L"1"},
                  Key{L"Browser", L"IsDisplayPicture", L"1"}, Key{L"Player", L"EnableFtVideo", L"1"},
                  Key{L"Player", L"Path", L""}}) {
        std::wstring value = L"absent";
        EXPECT_TRUE(IniReadString(k.section, k.key, value, file.c_str())) << k.key;
        EXPECT_EQ(value, k.value) << k.key;
    }
    EXPECT_EQ(ProgramFolderPath(), L"\\Quillora");
}

} // namespace
