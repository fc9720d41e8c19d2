#include "platform/registry/Registry.h"
#include "platform/fs/DeviceRoot.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace {

HKEY Create(HKEY parent, LPCWSTR path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    return key;
}

void SetString(HKEY key, LPCWSTR name, const std::wstring& text) {
    ASSERT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

std::wstring QueryString(HKEY key, LPCWSTR name) {
    wchar_t text[256] = {};
    DWORD type = 0, size = sizeof text;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return L"<none>";
    return text;
}

TEST(Registry, ValuesSurviveInTheDeviceRoot) {
    TemporaryRoot first(TemporaryRoot::Image::None);
    HKEY key = Create(HKEY_CURRENT_USER, L"Software\\Quillora\\Theme");
    DWORD colour = 0x00FF8800;
    ASSERT_EQ(RegSetValueExW(key, L"Back", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&colour), 4), ERROR_SUCCESS);
    const std::wstring awkward = L"C:\\\"quoted\"\nline 中文";
    SetString(key, L"Name", awkward);
    const BYTE bytes[] = {0, 1, 0xFE};
    ASSERT_EQ(RegSetValueExW(key, L"Raw", 0, REG_BINARY, bytes, 3), ERROR_SUCCESS);
    RegCloseKey(key);

    {
        TemporaryRoot other(TemporaryRoot::Image::None);
        HKEY missing = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Quillora\\Theme", 0, KEY_READ, &missing),
                  ERROR_FILE_NOT_FOUND);
    }
    platform::MountDeviceRoot(first.Path());

    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\quillora\\theme", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD read = 0, type = 0, size = sizeof read;
    ASSERT_EQ(RegQueryValueExW(key, L"back", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(read, colour);
    EXPECT_EQ(QueryString(key, L"Name"), awkward);
    BYTE raw[8];
    size = sizeof raw;
    ASSERT_EQ(RegQueryValueExW(key, L"Raw", nullptr, &type, raw, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(std::basic_string<BYTE>(raw, size), std::basic_string<BYTE>(bytes, 3));
    RegCloseKey(key);
}

// A key whose name holds a line break would break the registry file at its next save:
// it is refused, and the keys beside it stay readable.
TEST(Registry, AKeyNameWithALineBreakIsRefused) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Bad\n[HKLM\\Evil]", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(key, nullptr);
    HKEY good = Create(HKEY_CURRENT_USER, L"Software\\Good");
    SetString(good, L"Name", L"kept");
    RegCloseKey(good);
    platform::MountDeviceRoot(root.Path());
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Good", 0, KEY_READ, &good), ERROR_SUCCESS);
    EXPECT_EQ(QueryString(good, L"Name"), L"kept");
    RegCloseKey(good);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Evil", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST(Registry, QueriesFollowWin32SizeRules) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    HKEY key = Create(HKEY_LOCAL_MACHINE, L"Software\\Test");
    SetString(key, L"Text", L"abcdef");
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 7 * sizeof(wchar_t));
    wchar_t small[2];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(key, L"Text", nullptr, &type, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 7 * sizeof(wchar_t));
    EXPECT_EQ(RegQueryValueExW(key, L"Nothing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueW(key, L"TEXT"), ERROR_SUCCESS);
    EXPECT_EQ(QueryString(key, L"Text"), L"<none>");
    RegCloseKey(key);
    EXPECT_EQ(RegQueryValueExW(key, L"Text", nullptr, &type, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
}

TEST(Registry, SubKeysAreEnumeratedOnce) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    RegCloseKey(Create(HKEY_CURRENT_USER, L"Apps\\Beta\\Deep"));
    RegCloseKey(Create(HKEY_CURRENT_USER, L"Apps\\Alpha"));
    HKEY apps = Create(HKEY_CURRENT_USER, L"Apps");
    std::wstring names;
    wchar_t name[64];
    for (DWORD i = 0;; ++i) {
        DWORD length = 64;
        LONG result = RegEnumKeyExW(apps, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(result, ERROR_SUCCESS);
        EXPECT_EQ(length, std::wcslen(name));
        names += name + std::wstring(L";");
    }
    EXPECT_EQ(names, L"Alpha;Beta;");
    RegCloseKey(apps);
}

TEST(Registry, DamagedFileIsReadAsFarAsItMakesSense) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    WriteHostFile(root.Host("Registry.reg"),
                  "garbage\n[HKEY_CURRENT_USER\\K]\n\"A\"=dword:0000000a\n\"B\"=\"unterminated\n"
                  "\"C\"=hex(3):zz,01\n=broken\n\"D\"\n");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"K", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD value = 0, size = 4;
    EXPECT_EQ(RegQueryValueExW(key, L"A", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(value, 10u);
    EXPECT_EQ(QueryString(key, L"B"), L"<none>");
    RegCloseKey(key);
}

TEST(Registry, DeletingAKeyTakesEverythingBelowItAndNothingBesideIt) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    // "Active 2" sorts between "Active" and the keys below it.
    for (LPCWSTR path : {L"Drivers\\Active\\01\\Deep", L"Drivers\\Active\\02", L"Drivers\\Active 2"})
        RegCloseKey(Create(HKEY_LOCAL_MACHINE, path));
    HKEY active = Create(HKEY_LOCAL_MACHINE, L"Drivers\\Active");
    EXPECT_EQ(RegDeleteKeyW(active, L"01"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(active, L"01"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(active, L""), ERROR_INVALID_PARAMETER);
    wchar_t name[64];
    DWORD length = 64;
    ASSERT_EQ(RegEnumKeyExW(active, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, L"02");
    length = 64;
    EXPECT_EQ(RegEnumKeyExW(active, 1, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    RegCloseKey(active);

    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Drivers\\Active\\01\\Deep", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"drivers\\ACTIVE"), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Drivers\\Active\\02", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Drivers\\Active 2", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegDeleteKeyW(active, L"02"), ERROR_INVALID_HANDLE);
}

} // namespace
