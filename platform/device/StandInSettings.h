#pragma once
// How the device's stand-ins (the call interface, the device manager) learn the results
// a test asks of them: an environment variable that holds a decimal number wins over a
// 32-bit value under HKEY_LOCAL_MACHINE, which wins over the stand-in's default. Read
// anew at every call, so a test may change them at any moment. Callable from any thread.

#include "platform/base/Win32Types.h"

namespace platform {

DWORD ConfiguredNumber(const char* variable, LPCWSTR key, LPCWSTR valueName, DWORD fallback);

} // namespace platform
