#pragma once
// The calling thread's last-error value, as every platform call leaves it.

#include "platform/base/Win32Types.h"

DWORD GetLastError();
void SetLastError(DWORD error);

namespace platform {
// The system error code that stands for a host errno value.
DWORD Win32ErrorFromErrno(int error);
} // namespace platform
