#include "platform/device/StandInSettings.h"

#include "platform/registry/Registry.h"

#include <cstdlib>

namespace platform {

DWORD ConfiguredNumber(const char* variable, LPCWSTR key, LPCWSTR valueName, DWORD fallback) {
    if (const char* text = std::getenv(variable); text && *text) {
        char* end = nullptr;
        long value = std::strtol(text, &end, 10);
        if (end && *end == '\0')
            return static_cast<DWORD>(value);
    }
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return fallback;
    DWORD value = fallback, type = 0, size = sizeof value;
    if (RegQueryValueExW(opened, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        value = fallback;
    RegCloseKey(opened);
    return value;
}

} // namespace platform
