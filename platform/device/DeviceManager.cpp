#include "platform/device/DeviceManager.h"

#include "platform/base/HandleTable.h"
#include "platform/base/LastError.h"
#include "platform/device/StandInSettings.h"
#include "platform/registry/Registry.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* ActiveList = L"Drivers\\Active";
// The device keeps a driver's handle in a 32-bit value.
constexpr std::uintptr_t LargestHandle = 0xFFFFFFFF;

struct Driver {
    const wchar_t* key;
    const wchar_t* device;
};

// The drivers the device leaves to programs to load.
constexpr Driver Drivers[] = {
    {L"Drivers\\SSP\\SWLD24SP", L"NDL1:"}, // the WLAN adapter
};

// A sub-key of the list; the name is empty and the handle 0 where they cannot be read.
struct ActiveDevice {
    std::wstring subKey;
    std::wstring name;
    DWORD handle = 0;
};

// Held from reading the list to changing it, so that two activations in this process
// never take the same number or device name.
std::mutex& ListLock() {
    static std::mutex lock;
    return lock;
}

class OpenKey {
public:
    OpenKey(HKEY parent, const std::wstring& path, bool create) {
        LONG result =
            create ? RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr)
                   : RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &m_key);
        if (result != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~OpenKey() {
        if (m_key)
            RegCloseKey(m_key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY Get() const { return m_key; }
    explicit operator bool() const { return m_key != nullptr; }

private:
    HKEY m_key = nullptr;
};

std::wstring Folded(std::wstring_view text) {
    std::wstring folded(text);
    for (wchar_t& c : folded)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return folded;
}

const Driver* FindDriver(std::wstring_view key) {
    while (!key.empty() && key.front() == L'\\')
        key.remove_prefix(1);
    for (const Driver& driver : Drivers) {
        if (Folded(key) == Folded(driver.key))
            return &driver;
    }
    return nullptr;
}

std::wstring ReadText(HKEY key, LPCWSTR name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return {};
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        return {};
    text.resize(std::wcslen(text.c_str()));
    return text;
}

DWORD ReadNumber(HKEY key, LPCWSTR name) {
    DWORD value = 0, type = 0, size = sizeof value;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    return value;
}

// Must be called with the list lock held.
std::vector<ActiveDevice> ActiveDevices() {
    std::vector<ActiveDevice> devices;
    OpenKey list(HKEY_LOCAL_MACHINE, ActiveList, false);
    if (!list)
        return devices;
    for (DWORD index = 0;; ++index) {
        wchar_t subKey[MAX_PATH];
        DWORD length = MAX_PATH;
        LONG result = RegEnumKeyExW(list.Get(), index, subKey, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            break;
        ActiveDevice device;
        device.subKey = subKey;
        if (OpenKey entry(list.Get(), subKey, false); entry) {
            device.name = ReadText(entry.Get(), L"Name");
            device.handle = ReadNumber(entry.Get(), L"Hnd");
        }
        devices.push_back(std::move(device));
    }
    return devices;
}

// The device numbers its entries from 01 and fills gaps first.
std::wstring FreeSubKey(const std::vector<ActiveDevice>& devices) {
    for (unsigned number = 1;; ++number) {
        wchar_t name[16];
        std::swprintf(name, 16, L"%02u", number);
        if (std::none_of(devices.begin(), devices.end(), [&](const ActiveDevice& d) { return d.subKey == name; }))
            return name;
    }
}

// A value from the handle space that no listed device has (one listed by an earlier
// run may have any), or 0 when the space has outgrown 32 bits.
std::uintptr_t FreeHandle(const std::vector<ActiveDevice>& devices) {
    for (;;) {
        std::uintptr_t handle = platform::NewHandleValue();
        if (handle > LargestHandle)
            return 0;
        if (std::none_of(devices.begin(), devices.end(), [&](const ActiveDevice& d) { return d.handle == handle; }))
            return handle;
    }
}

} // namespace

HANDLE ActivateDeviceEx(LPCWSTR deviceKey, LPCVOID registryEntries, DWORD entryCount, LPVOID) {
    if (!deviceKey || !*deviceKey)
        return platform::FailWith<HANDLE>(ERROR_INVALID_PARAMETER, nullptr);
    if (registryEntries || entryCount)
        return platform::FailWith<HANDLE>(ERROR_NOT_SUPPORTED, nullptr);
    const Driver* driver = FindDriver(deviceKey);
    if (!driver)
        return platform::FailWith<HANDLE>(ERROR_FILE_NOT_FOUND, nullptr);
    if (platform::ConfiguredNumber("QUILLORA_ACTIVATE_DEVICE_RESULT", L"Software\\Quillora\\Devices",
                                   L"ActivateDeviceResult", 1) == 0)
        return platform::FailWith<HANDLE>(ERROR_GEN_FAILURE, nullptr);

    std::lock_guard guard(ListLock());
    std::vector<ActiveDevice> devices = ActiveDevices();
    if (std::any_of(devices.begin(), devices.end(), [&](const ActiveDevice& d) { return d.name == driver->device; }))
        return platform::FailWith<HANDLE>(ERROR_DEVICE_IN_USE, nullptr);
    std::uintptr_t handle = FreeHandle(devices);
    if (!handle)
        return platform::FailWith<HANDLE>(ERROR_GEN_FAILURE, nullptr);

    std::wstring path = std::wstring(ActiveList) + L"\\" + FreeSubKey(devices);
    std::wstring name = driver->device;
    DWORD number = static_cast<DWORD>(handle);
    bool listed = false;
    if (OpenKey entry(HKEY_LOCAL_MACHINE, path, true); entry) {
        listed = RegSetValueExW(entry.Get(), L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                                static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS &&
                 RegSetValueExW(entry.Get(), L"Hnd", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                sizeof number) == ERROR_SUCCESS;
    }
    if (!listed) {
        // Half an entry would name the device without a handle to deactivate it by.
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
        return platform::FailWith<HANDLE>(ERROR_GEN_FAILURE, nullptr);
    }
    return reinterpret_cast<HANDLE>(handle);
}

BOOL DeactivateDevice(HANDLE device) {
    auto value = reinterpret_cast<std::uintptr_t>(device);
    if (value == 0 || value > LargestHandle)
        return platform::FailWith(ERROR_INVALID_HANDLE);
    std::lock_guard guard(ListLock());
    for (const ActiveDevice& active : ActiveDevices()) {
        if (active.handle != value)
            continue;
        OpenKey list(HKEY_LOCAL_MACHINE, ActiveList, false);
        LONG result = list ? RegDeleteKeyW(list.Get(), active.subKey.c_str()) : ERROR_FILE_NOT_FOUND;
        return result == ERROR_SUCCESS ? TRUE : platform::FailWith(static_cast<DWORD>(result));
    }
    return platform::FailWith(ERROR_INVALID_HANDLE);
}

namespace platform {

bool IsDeviceActive(std::wstring_view name) {
    std::lock_guard guard(ListLock());
    std::vector<ActiveDevice> devices = ActiveDevices();
    return std::any_of(devices.begin(), devices.end(), [&](const ActiveDevice& d) { return d.name == name; });
}

} // namespace platform
