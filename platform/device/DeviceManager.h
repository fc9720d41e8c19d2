#pragma once
// The device manager: drivers are activated by their registry key and, while active,
// listed under HKEY_LOCAL_MACHINE "Drivers\Active" as the device lists them: one
// numbered sub-key each ("01", "02", ...) with the device's "Name" (a string such as
// "NDL1:") and its handle "Hnd" (32 bits), by which it is deactivated again. No driver
// runs here: the drivers this device has are a table of their keys and device names,
// and activating one only lists it. The list lives in the device root's registry, so a
// driver stays loaded after the program that loaded it has ended, as it does on the
// device until it restarts; such a driver is deactivated by the handle the list gives.
//
// Whether an activation succeeds is configuration (StandInSettings.h), so that a driver
// that fails to load can be tried: QUILLORA_ACTIVATE_DEVICE_RESULT, else the value
// "ActivateDeviceResult" of HKEY_LOCAL_MACHINE "Software\Quillora\Devices"; 0 fails
// every activation, anything else (the default is 1) lets it go on. Thread-safe.

#include "platform/base/Win32Types.h"

#include <string_view>

constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_DEVICE_IN_USE = 2404;

// The device's handle, null on failure: ERROR_FILE_NOT_FOUND for a key that names no
// driver of the device, ERROR_DEVICE_IN_USE while its device is active already,
// ERROR_GEN_FAILURE when the driver does not load. Values for the driver's key
// (`registryEntries`, `entryCount`) are not taken: ERROR_NOT_SUPPORTED.
HANDLE ActivateDeviceEx(LPCWSTR deviceKey, LPCVOID registryEntries, DWORD entryCount, LPVOID parameter);
// FALSE with ERROR_INVALID_HANDLE for a handle that no listed device has.
BOOL DeactivateDevice(HANDLE device);

namespace platform {

// Whether a device of this name ("NDL1:") is listed as active.
bool IsDeviceActive(std::wstring_view name);

} // namespace platform
