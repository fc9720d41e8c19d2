#include "platform/base/LastError.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/fs/FileApi.h"
#include "platform/fs/FindFile.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

bool WriteDeviceFile(LPCWSTR name, const std::string& bytes) {
    HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::set<std::wstring> Listing(LPCWSTR pattern) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(pattern, &data);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.insert(data.cFileName);
    while (FindNextFileW(search, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    FindClose(search);
    return names;
}

TEST(DeviceRoot, FirstUseCopiesTheImageAndLaterUseKeepsUserFiles) {
    TemporaryRoot root;
    std::filesystem::path settings = root.Host("Quillora/Data/Setting.ini");
    EXPECT_EQ(ReadHostFile(settings),
              ReadHostFile(std::filesystem::path(QUILLORA_DEVICE_IMAGE_DIR) / "Quillora/Data/Setting.ini"));
    WriteHostFile(settings, "changed by the user");
    platform::SetDeviceRoot(root.Path());
    platform::DeviceRoot();
    EXPECT_EQ(ReadHostFile(settings), "changed by the user");
}

// The build's own files (art, sounds) follow a newer build; what is newer on the device stays.
TEST(DeviceRoot, GeneratedFilesAreReplacedByANewerBuild) {
    TemporaryRoot generated(TemporaryRoot::Image::None), root;
    WriteHostFile(root.Host("Windows/ftres.dll"), "old art");
    WriteHostFile(root.Host("Windows/switch.wav"), "kept");
    WriteHostFile(generated.Host("Windows/ftres.dll"), "new art");
    WriteHostFile(generated.Host("Windows/switch.wav"), "built earlier");
    WriteHostFile(generated.Host("Windows/keyloud.wav"), "click");
    auto now = std::filesystem::file_time_type::clock::now();
    std::filesystem::last_write_time(root.Host("Windows/ftres.dll"), now - std::chrono::hours(1));
    std::filesystem::last_write_time(generated.Host("Windows/switch.wav"), now - std::chrono::hours(1));
    ::setenv("QUILLORA_GENERATED_IMAGE", generated.Path().c_str(), 1);
    platform::SetDeviceRoot(root.Path());
    platform::DeviceRoot();
    ::unsetenv("QUILLORA_GENERATED_IMAGE");
    EXPECT_EQ(ReadHostFile(root.Host("Windows/ftres.dll")), "new art");
    EXPECT_EQ(ReadHostFile(root.Host("Windows/switch.wav")), "kept");
    EXPECT_EQ(ReadHostFile(root.Host("Windows/keyloud.wav")), "click");
}

TEST(DevicePaths, CaseIsIgnoredAndTheRootCannotBeLeft) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    ASSERT_TRUE(CreateDirectoryW(L"\\Quillora", nullptr));
    ASSERT_TRUE(CreateDirectoryW(L"\\Quillora\\Temp", nullptr));
    EXPECT_FALSE(CreateDirectoryW(L"\\quillora\\temp", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);

    ASSERT_TRUE(WriteDeviceFile(L"\\quillora\\temp\\Page.html", "x"));
    EXPECT_TRUE(std::filesystem::exists(root.Host("Quillora/Temp/Page.html")));
    EXPECT_EQ(Listing(L"\\QUILLORA\\TEMP\\*"), std::set<std::wstring>{L"Page.html"});
    EXPECT_NE(GetFileAttributesW(L"/Quillora/TEMP/page.HTML"), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(platform::HostPathFromDevice(L"\\..\\..\\etc\\passwd"), root.Path() / "etc" / "passwd");
    EXPECT_EQ(platform::HostPathFromDevice(L"\\"), root.Path());
    EXPECT_FALSE(platform::HostPathFromDevice(L"\\a:b"));
    EXPECT_EQ(CreateFileW(L"\\bad|name", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
}

// The names of a directory are remembered while it does not change; a change made
// beside the file calls shows at once, also one in the same tick of the file system's
// clock as the directory's last change, and the file calls' own changes are taken in.
TEST(DevicePaths, RememberedNamesFollowEveryChange) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    std::filesystem::path folder = root.Host("Pages");
    std::filesystem::create_directories(folder);
    auto age = [&](std::chrono::seconds by) {
        std::filesystem::last_write_time(folder, std::filesystem::file_time_type::clock::now() - by);
    };
    age(std::chrono::seconds(60));
    EXPECT_EQ(GetFileAttributesW(L"\\pages\\old.html"), INVALID_FILE_ATTRIBUTES); // read and remembered
    std::ofstream(folder / "OLD.html") << "made beside the file calls";
    EXPECT_NE(GetFileAttributesW(L"\\pages\\old.html"), INVALID_FILE_ATTRIBUTES);

    // A directory just changed is read again next time, even when its time has not moved.
    auto changed = std::filesystem::last_write_time(folder);
    EXPECT_EQ(GetFileAttributesW(L"\\pages\\same-tick.html"), INVALID_FILE_ATTRIBUTES);
    std::ofstream(folder / "Same-Tick.html") << "x";
    std::filesystem::last_write_time(folder, changed);
    EXPECT_NE(GetFileAttributesW(L"\\pages\\SAME-TICK.HTML"), INVALID_FILE_ATTRIBUTES);

    age(std::chrono::seconds(60));
    EXPECT_EQ(GetFileAttributesW(L"\\pages\\x"), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(WriteDeviceFile(L"\\Pages\\Listing2.html", "2"));
    ASSERT_TRUE(WriteDeviceFile(L"\\pages\\LISTING2.HTML", "two"));
    ASSERT_TRUE(MoveFileW(L"\\pages\\listing2.html", L"\\Pages\\Moved.html"));
    ASSERT_TRUE(WriteDeviceFile(L"\\PAGES\\moved.HTML", "moved"));
    EXPECT_TRUE(DeleteFileW(L"\\pages\\MOVED.html"));
    EXPECT_EQ(GetFileAttributesW(L"\\pages\\moved.html"), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(WriteDeviceFile(L"\\pages\\moved.html", "again"));
    std::set<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename());
    EXPECT_EQ(names, (std::set<std::filesystem::path>{"OLD.html", "Same-Tick.html", "moved.html"}));
}

// Symbolic links in the root lead nowhere outside it: a path through one that would is
// a missing path, and nothing is read or made out there; a link within the root works.
TEST(DevicePaths, LinksOutOfTheRootLeadNowhere) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    struct Outside {
        std::filesystem::path path;
        ~Outside() { std::filesystem::remove_all(path); }
        const std::filesystem::path& Path() const { return path; }
    } outside{root.Path().string() + "-outside"};
    std::filesystem::create_directories(outside.Path());
    WriteHostFile(outside.Path() / "secret.txt", "secret");
    std::filesystem::create_directories(root.Host("Quillora/Favorite"));
    std::filesystem::create_directory_symlink(outside.Path(), root.Host("Quillora/out"));
    std::filesystem::create_symlink(outside.Path() / "made.txt", root.Host("Quillora/Favorite/dangling.html"));
    std::filesystem::create_directory_symlink(root.Host("Quillora/Favorite"), root.Host("Quillora/inside"));

    EXPECT_EQ(CreateFileW(L"\\Quillora\\out\\secret.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(WriteDeviceFile(L"\\Quillora\\out\\new.txt", "x"));
    EXPECT_FALSE(WriteDeviceFile(L"\\Quillora\\Favorite\\dangling.html", "x"));
    EXPECT_FALSE(CopyFileW(L"\\Quillora\\out\\secret.txt", L"\\Quillora\\Favorite\\copy.html", FALSE));
    EXPECT_FALSE(std::filesystem::exists(outside.Path() / "new.txt"));
    EXPECT_FALSE(std::filesystem::exists(outside.Path() / "made.txt"));
    EXPECT_FALSE(std::filesystem::exists(root.Host("Quillora/Favorite/copy.html")));

    EXPECT_TRUE(WriteDeviceFile(L"\\Quillora\\inside\\kept.html", "x"));
    EXPECT_TRUE(std::filesystem::exists(root.Host("Quillora/Favorite/kept.html")));
}

TEST(DeviceFiles, OpenReportsWin32Errors) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    EXPECT_EQ(CreateFileW(L"\\missing.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CreateFileW(L"\\no\\such.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    ASSERT_TRUE(WriteDeviceFile(L"\\a.txt", "old"));
    EXPECT_EQ(CreateFileW(L"\\a.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    HANDLE again = CreateFileW(L"\\A.TXT", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(again, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    CloseHandle(again);
    EXPECT_EQ(ReadHostFile(root.Host("a.txt")), "");

    ASSERT_TRUE(CreateDirectoryW(L"\\folder", nullptr));
    EXPECT_EQ(CreateFileW(L"\\folder", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(DeleteFileW(L"\\folder"));
    EXPECT_FALSE(DeleteFileW(L"\\missing.txt"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(DeviceFiles, ReadWriteSeekAndSize) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    HANDLE file = CreateFileW(L"\\data.bin", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD count = 0;
    ASSERT_TRUE(WriteFile(file, "0123456789", 10, &count, nullptr));
    EXPECT_EQ(GetFileSize(file, nullptr), 10u);
    EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_END), 6u);
    char buffer[16] = {};
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(std::string(buffer, count), "6789");
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(count, 0u);
    SetFilePointer(file, 3, nullptr, FILE_BEGIN);
    ASSERT_TRUE(SetEndOfFile(file));
    EXPECT_EQ(GetFileSize(file, nullptr), 3u);
    ASSERT_TRUE(CloseHandle(file));

    HANDLE reader = CreateFileW(L"\\data.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(WriteFile(reader, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    CloseHandle(reader);
}

TEST(DeviceFiles, HandlesAreCheckedForKindAndStaleness) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    HANDLE file = CreateFileW(L"\\x.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_TRUE(CloseHandle(file));
    DWORD count;
    EXPECT_FALSE(WriteFile(file, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));

    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(L"\\*", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CloseHandle(search));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(ReadFile(search, &data, 1, &count, nullptr));
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindClose(search));
}

TEST(DeviceFiles, MoveCopyAndRemove) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    ASSERT_TRUE(WriteDeviceFile(L"\\a.txt", "A"));
    ASSERT_TRUE(WriteDeviceFile(L"\\b.txt", "B"));
    EXPECT_FALSE(MoveFileW(L"\\a.txt", L"\\b.txt"));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(MoveFileExW(L"\\a.txt", L"\\b.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadHostFile(root.Host("b.txt")), "A");
    EXPECT_EQ(GetFileAttributesW(L"\\a.txt"), INVALID_FILE_ATTRIBUTES);

    EXPECT_FALSE(CopyFileW(L"\\a.txt", L"\\c.txt", FALSE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(CopyFileW(L"\\b.txt", L"\\c.txt", TRUE));
    EXPECT_FALSE(CopyFileW(L"\\b.txt", L"\\c.txt", TRUE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);

    ASSERT_TRUE(CreateDirectoryW(L"\\d", nullptr));
    ASSERT_TRUE(MoveFileW(L"\\c.txt", L"\\D\\c.txt"));
    EXPECT_FALSE(RemoveDirectoryW(L"\\d"));
    EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
    ASSERT_TRUE(DeleteFileW(L"\\d\\C.TXT"));
    EXPECT_TRUE(RemoveDirectoryW(L"\\d"));
}

TEST(FindFiles, WildcardsMatchWithoutCaseAndListNoDotEntries) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    for (LPCWSTR name : {L"\\one.html", L"\\TWO.HTML", L"\\abc.txt", L"\\noext"})
        ASSERT_TRUE(WriteDeviceFile(name, "12345"));
    ASSERT_TRUE(CreateDirectoryW(L"\\sub", nullptr));

    EXPECT_EQ(Listing(L"\\*.html"), (std::set<std::wstring>{L"one.html", L"TWO.HTML"}));
    EXPECT_EQ(Listing(L"\\a?c.*"), std::set<std::wstring>{L"abc.txt"});
    EXPECT_EQ(Listing(L"\\*.*").size(), 5u);
    EXPECT_EQ(Listing(L"\\*").count(L"."), 0u);

    WIN32_FIND_DATAW data;
    HANDLE one = FindFirstFileW(L"\\ABC.TXT", &data);
    ASSERT_NE(one, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    FindClose(one);
    EXPECT_EQ(FindFirstFileW(L"\\*.gif", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FindFirstFileW(L"\\nowhere\\*", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(ModuleFile, IsTheProgramInItsFolder) {
    wchar_t name[MAX_PATH];
    EXPECT_EQ(GetModuleFileNameW(nullptr, name, MAX_PATH), 22u);
    EXPECT_STREQ(name, L"\\Quillora\\Quillora.exe");
    wchar_t small[5];
    EXPECT_EQ(GetModuleFileNameW(nullptr, small, 5), 5u);
    EXPECT_STREQ(small, L"\\Qui");
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

} // namespace
