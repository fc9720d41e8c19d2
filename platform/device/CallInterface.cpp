#include "platform/device/CallInterface.h"

#include "platform/registry/Registry.h"

#include <atomic>
#include <cstdlib>
#include <string>

namespace {

std::atomic<bool> s_callUp{false};

DWORD Configured(const char* variable, const wchar_t* valueName, DWORD fallback) {
    if (const char* text = std::getenv(variable); text && *text) {
        char* end = nullptr;
        long value = std::strtol(text, &end, 10);
        if (end && *end == '\0')
            return static_cast<DWORD>(value);
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Quillora\\CallInterface", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return fallback;
    DWORD value = fallback, type = 0, size = sizeof value;
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        value = fallback;
    RegCloseKey(key);
    return value;
}

} // namespace

DWORD QueryNetWorkStatus() {
    DWORD status = Configured("QUILLORA_NETWORK_STATUS", L"NetworkStatus", 2);
    if (status == NetworkStatusNone && s_callUp)
        return Configured("QUILLORA_DIALED_STATUS", L"DialedStatus", 2);
    return status;
}

LONG Dial_StartGprsConnect2(HWND, DWORD) {
    auto result = static_cast<LONG>(Configured("QUILLORA_DIAL_START_RESULT", L"DialStartResult", 1));
    if (result == 1)
        s_callUp = true;
    return result;
}

LONG Dial_StopGprsConnect2(HWND) {
    auto result = static_cast<LONG>(Configured("QUILLORA_DIAL_STOP_RESULT", L"DialStopResult", 1));
    if (result == 1)
        s_callUp = false;
    return result;
}
