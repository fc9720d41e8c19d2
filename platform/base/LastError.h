#pragma once
// The calling thread's last-error value, as every platform call leaves it.

#include "platform/base/Win32Types.h"

#include <cerrno>

DWORD GetLastError();
void SetLastError(DWORD error);

namespace platform {
// Sets the last error and gives back what the failed call returns: FALSE, or `result`.
inline BOOL FailWith(DWORD error) {
    SetLastError(error);
    return FALSE;
}
template <class T> T FailWith(DWORD error, T result) {
    SetLastError(error);
    return result;
}

// The system error code that stands for a host errno value.
DWORD Win32ErrorFromErrno(int error);
// FailWith the error that stands for the current errno.
inline BOOL FailWithErrno() { return FailWith(Win32ErrorFromErrno(errno)); }
} // namespace platform
