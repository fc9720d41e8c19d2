#pragma once

#include "platform/base/Win32Types.h"

#include <ctime>

// Milliseconds since an arbitrary start (the host's monotonic clock); wraps after 49.7 days.
DWORD GetTickCount();
void Sleep(DWORD milliseconds);

namespace platform {
FILETIME FileTimeFromUnix(std::timespec time);
}
