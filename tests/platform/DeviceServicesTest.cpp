// The device services behind bringing the network up: the device manager's list of
// active drivers, the call interface's state following what is up, and the shell's
// execute call over the device's programs.

#include "platform/base/LastError.h"
#include "platform/device/CallInterface.h"
#include "platform/device/DeviceManager.h"
#include "platform/device/Process.h"
#include "platform/device/ShellExecute.h"
#include "platform/registry/Registry.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* WlanKey = L"Drivers\\SSP\\SWLD24SP";

HANDLE ActivateWlan() { return ActivateDeviceEx(WlanKey, nullptr, 0, nullptr); }

DWORD Number(HANDLE handle) { return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(handle)); }

HKEY CreateKey(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
}

void SetNumber(HKEY key, LPCWSTR name, DWORD value) {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// An entry of the active list the way the device writes one.
void List(const std::wstring& subKey, const std::wstring& name, DWORD handle) {
    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, L"Drivers\\Active\\" + subKey);
    RegSetValueExW(key, L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                   static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
    SetNumber(key, L"Hnd", handle);
    RegCloseKey(key);
}

struct Listed {
    std::wstring subKey;
    std::wstring name;
    DWORD handle;
};

std::vector<Listed> ActiveList() {
    std::vector<Listed> listed;
    HKEY active = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Drivers\\Active", 0, KEY_READ, &active) != ERROR_SUCCESS)
        return listed;
    wchar_t subKey[64];
    for (DWORD index = 0;; ++index) {
        DWORD length = 64;
        if (RegEnumKeyExW(active, index, subKey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY entry = nullptr;
        RegOpenKeyExW(active, subKey, 0, KEY_READ, &entry);
        wchar_t name[64] = {};
        DWORD handle = 0, size = sizeof name;
        RegQueryValueExW(entry, L"Name", nullptr, nullptr, reinterpret_cast<BYTE*>(name), &size);
        size = sizeof handle;
        RegQueryValueExW(entry, L"Hnd", nullptr, nullptr, reinterpret_cast<BYTE*>(&handle), &size);
        RegCloseKey(entry);
        listed.push_back({subKey, name, handle});
    }
    RegCloseKey(active);
    return listed;
}

TEST(DeviceManager, AnActiveDriverIsListedUnderItsDeviceNameUntilDeactivated) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    HANDLE device = ActivateDeviceEx(L"\\drivers\\SSP\\swld24sp", nullptr, 0, nullptr);
    ASSERT_NE(device, nullptr);
    std::vector<Listed> listed = ActiveList();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, L"NDL1:");
    EXPECT_EQ(listed[0].handle, Number(device));
    EXPECT_TRUE(platform::IsDeviceActive(L"NDL1:"));

    EXPECT_EQ(ActivateWlan(), nullptr) << "one driver has the device name at a time";
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_IN_USE);
    EXPECT_EQ(ActiveList().size(), 1u);

    EXPECT_TRUE(DeactivateDevice(device));
    EXPECT_TRUE(ActiveList().empty());
    EXPECT_FALSE(platform::IsDeviceActive(L"NDL1:"));
    EXPECT_FALSE(DeactivateDevice(device));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(DeviceManager, ADriverAnEarlierRunLeftLoadedIsDeactivatedByTheListedHandle) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    List(L"01", L"NDL1:", 0x1234);
    List(L"02", L"COM1:", 0x5678);
    EXPECT_TRUE(platform::IsDeviceActive(L"NDL1:"));
    EXPECT_EQ(ActivateWlan(), nullptr);

    EXPECT_TRUE(DeactivateDevice(reinterpret_cast<HANDLE>(std::uintptr_t{0x1234})));
    HANDLE fresh = ActivateWlan();
    ASSERT_NE(fresh, nullptr);
    std::vector<Listed> listed = ActiveList();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_NE(listed[0].subKey, listed[1].subKey);
    EXPECT_EQ(listed[0].name + L" " + listed[1].name, L"NDL1: COM1:") << "the free number is taken again";
    EXPECT_EQ(listed[0].handle, Number(fresh));
}

TEST(DeviceManager, WhatCannotBeLoadedFailsAndListsNothing) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    EXPECT_EQ(ActivateDeviceEx(L"Drivers\\SSP\\Elsewhere", nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ActivateDeviceEx(nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    {
        ScopedEnvironment failing("QUILLORA_ACTIVATE_DEVICE_RESULT", "0");
        EXPECT_EQ(ActivateWlan(), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE);
    }
    HKEY settings = CreateKey(HKEY_LOCAL_MACHINE, L"Software\\Quillora\\Devices");
    SetNumber(settings, L"ActivateDeviceResult", 0);
    RegCloseKey(settings);
    EXPECT_EQ(ActivateWlan(), nullptr);
    EXPECT_TRUE(ActiveList().empty());
    {
        ScopedEnvironment loading("QUILLORA_ACTIVATE_DEVICE_RESULT", "1");
        EXPECT_NE(ActivateWlan(), nullptr) << "the environment wins over the registry";
    }
    EXPECT_FALSE(DeactivateDevice(nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(DeactivateDevice(INVALID_HANDLE_VALUE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(ActiveList().size(), 1u);
}

TEST(CallInterface, NoNetworkLastsOnlyWhileNeitherTheWlanDriverNorADataCallIsUp) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    ScopedEnvironment none("QUILLORA_NETWORK_STATUS", "1");
    EXPECT_EQ(QueryNetWorkStatus(), NetworkStatusNone);
    HANDLE wlan = ActivateWlan();
    ASSERT_NE(wlan, nullptr);
    EXPECT_NE(QueryNetWorkStatus(), NetworkStatusNone);
    ASSERT_EQ(Dial_StartGprsConnect2(nullptr, 4), 1);
    ASSERT_TRUE(DeactivateDevice(wlan));
    EXPECT_NE(QueryNetWorkStatus(), NetworkStatusNone) << "the data call is still up";
    ASSERT_EQ(Dial_StopGprsConnect2(nullptr), 1);
    EXPECT_EQ(QueryNetWorkStatus(), NetworkStatusNone);

    List(L"01", L"NDL2:", 0x1234);
    EXPECT_EQ(QueryNetWorkStatus(), NetworkStatusNone) << "another device is no WLAN";
    {
        ScopedEnvironment wap("QUILLORA_NETWORK_STATUS", "4");
        ASSERT_NE(ActivateWlan(), nullptr);
        EXPECT_EQ(QueryNetWorkStatus(), NetworkStatusWap) << "a usable state is reported as it is";
    }
}

void WriteProgram(const TemporaryRoot& root, const std::string& name, const std::string& script) {
    WriteHostFile(root.Host(name), "#!/bin/sh\n" + script);
    std::filesystem::permissions(root.Host(name), std::filesystem::perms::owner_all);
}

SHELLEXECUTEINFO Execute(LPCWSTR verb, LPCWSTR file, LPCWSTR parameters = nullptr) {
    SHELLEXECUTEINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = verb;
    info.lpFile = file;
    info.lpParameters = parameters;
    info.nShow = 1;
    return info;
}

std::intptr_t Code(const SHELLEXECUTEINFO& info) { return reinterpret_cast<std::intptr_t>(info.hInstApp); }

TEST(ShellExecute, OpenStartsTheDeviceProgramWithItsParameters) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    WriteProgram(root, "Windows/Echo.exe",
                 "here=$(dirname \"$0\"); printf '%s|%s' \"$#\" \"$1\" > \"$here/out\"; exit 5\n");
    SHELLEXECUTEINFO info = Execute(L"Open", L"Echo.exe", L"-x \"quoted\" 中文");
    ASSERT_TRUE(ShellExecuteEx(&info));
    EXPECT_GT(Code(info), 32);
    ASSERT_NE(info.hProcess, nullptr);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    EXPECT_EQ(code, 5u);
    EXPECT_EQ(ReadHostFile(root.Host("Windows/out")), "1|-x \"quoted\" 中文");
    EXPECT_TRUE(CloseHandle(info.hProcess));

    info = Execute(nullptr, L"\\windows\\ECHO.EXE");
    info.fMask = 0;
    EXPECT_TRUE(ShellExecuteEx(&info)) << "no verb is Open";
    EXPECT_EQ(info.hProcess, nullptr) << "the handle is only handed out when asked for";
}

TEST(ShellExecute, WhatIsNoProgramOrNoOpeningFailsTheOldWayToo) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    WriteProgram(root, "Windows/Echo.exe", "exit 0\n");
    WriteHostFile(root.Host("Windows/Notes.txt"), "text");
    struct Case {
        LPCWSTR verb;
        LPCWSTR file;
        DWORD error;
        std::intptr_t code;
    };
    const Case cases[] = {
        {L"Open", L"\\Windows\\Missing.exe", ERROR_FILE_NOT_FOUND, SE_ERR_FNF},
        {L"Open", L"\\Nowhere\\Missing.exe", ERROR_PATH_NOT_FOUND, SE_ERR_PNF},
        {L"Open", L"", ERROR_FILE_NOT_FOUND, SE_ERR_FNF},
        {L"Print", L"\\Windows\\Echo.exe", ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC},
        {L"Open", L"\\Windows\\Notes.txt", ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC},
    };
    for (const Case& c : cases) {
        SHELLEXECUTEINFO info = Execute(c.verb, c.file);
        EXPECT_FALSE(ShellExecuteEx(&info)) << c.file;
        EXPECT_EQ(GetLastError(), c.error) << c.file;
        EXPECT_EQ(Code(info), c.code) << c.file;
        EXPECT_EQ(info.hProcess, nullptr) << c.file;
    }
    SHELLEXECUTEINFO info = Execute(L"Open", L"\\Windows\\Echo.exe");
    info.cbSize = 0;
    EXPECT_FALSE(ShellExecuteEx(&info));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(ShellExecuteEx(nullptr));
}

} // namespace
