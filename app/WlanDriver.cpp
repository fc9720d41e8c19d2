#include "app/WlanDriver.h"

#include "app/FlyMode.h"
#include "app/RegistryKeyGuard.h"
#include "platform/base/DebugOutput.h"
#include "platform/base/HandleTable.h"
#include "platform/device/DeviceManager.h"
#include "platform/device/ShellExecute.h"
#include "platform/window/WindowApi.h"

#include <cstdint>
#include <cwchar>

namespace {

constexpr const wchar_t* WlanDriverKey = L"Drivers\\SSP\\SWLD24SP";
constexpr const wchar_t* WlanDeviceName = L"NDL1:";
// The device's sub-key names and device names are short; longer ones are not its.
constexpr DWORD SubKeyNameLength = 16;
constexpr DWORD DeviceNameBytes = 32;

constexpr const wchar_t* MusicPlayerClass = L"FtMusicMainWnd";
constexpr UINT MusicPlayerRadioMessage = 4096;
constexpr const wchar_t* WifiTestProgram = L"\\Windows\\WifiTestProgram.exe";

unsigned HandleNumber(HANDLE handle) { return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(handle)); }

// Nothing waits for the program, so its process handle is let go at once.
void StartWifiTestProgram() {
    SHELLEXECUTEINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = L"Open";
    info.lpFile = WifiTestProgram;
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteEx(&info) && info.hProcess)
        CloseHandle(info.hProcess);
}

} // namespace

HANDLE LoadWlanDriver() {
    HANDLE driver = ActivateDeviceEx(WlanDriverKey, nullptr, 0, nullptr);
    if (!driver || driver == INVALID_HANDLE_VALUE)
        return nullptr;
    NKDbgPrintfW(L"\r\nLhDriver = %02x\r\n", HandleNumber(driver));
    NKDbgPrintfW(L"---------------------------------------------Get the message FWStart\r\n");
    return driver;
}

DWORD FindWlanDriverHandle() {
    RegistryKeyGuard active;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"\\Drivers\\Active", 0, KEY_READ, active.Out()) != ERROR_SUCCESS)
        return NoWlanDriver;
    wchar_t subKey[SubKeyNameLength + 1];
    for (DWORD index = 0;; ++index) {
        DWORD length = SubKeyNameLength + 1;
        LONG listed = RegEnumKeyExW(active.Get(), index, subKey, &length, nullptr, nullptr, nullptr, nullptr);
        if (listed == ERROR_MORE_DATA)
            continue; // a longer name than a driver's: not the WLAN driver, look on
        if (listed != ERROR_SUCCESS)
            return NoWlanDriver;
        RegistryKeyGuard device;
        if (RegOpenKeyExW(active.Get(), subKey, 0, KEY_READ, device.Out()) != ERROR_SUCCESS)
            continue;
        wchar_t name[DeviceNameBytes / sizeof(wchar_t) + 1] = {};
        DWORD size = DeviceNameBytes;
        if (RegQueryValueExW(device.Get(), L"Name", nullptr, nullptr, reinterpret_cast<BYTE*>(name), &size) !=
                ERROR_SUCCESS ||
            std::wcscmp(name, WlanDeviceName) != 0)
            continue;
        NKDbgPrintfW(L"RegQueryValueEx(%ls\\Name) returned\r\n", subKey);
        DWORD handle = 0;
        return device.ReadNumber(L"Hnd", handle) ? handle : NoWlanDriver;
    }
}

void UnloadWlanDriver() {
    DWORD handle = FindWlanDriverHandle();
    if (handle == NoWlanDriver)
        return;
    if (!DeactivateDevice(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle))))
        NKDbgPrintfW(L"\r\nUnloadDriver : SWLD24SP\r\n");
}

bool SwitchWlanDriver(bool on) {
    if (on)
        return LoadWlanDriver() != nullptr;
    UnloadWlanDriver();
    return true;
}

void ApplyWifiOptions() {
    if (IsFlyMode())
        return;
    RegistryKeyGuard options;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\DEVWIFI", 0, KEY_READ | KEY_WRITE, options.Out()) != ERROR_SUCCESS)
        return;
    DWORD wifiSetting = 0, wifiTest = 0;
    options.ReadNumber(L"wifisetting", wifiSetting);
    options.ReadNumber(L"wifitest", wifiTest);
    if (wifiSetting == 1 && wifiTest == 0) {
        // The music player may be playing over the radio: it is told that the radio
        // goes (1) and is back (0). Without a player the messages go nowhere and the
        // reload happens all the same.
        HWND player = FindWindowW(MusicPlayerClass, nullptr);
        SendMessageW(player, MusicPlayerRadioMessage, 0, 1);
        UnloadWlanDriver();
        LoadWlanDriver();
        SendMessageW(player, MusicPlayerRadioMessage, 0, 0);
    }
    if (wifiTest == 1)
        StartWifiTestProgram();
}
