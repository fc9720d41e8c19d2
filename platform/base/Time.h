#pragma once

#include "platform/base/Win32Types.h"

#include <ctime>

// Milliseconds since an arbitrary start (the host's monotonic clock); wraps after 49.7 days.
DWORD GetTickCount();
void Sleep(DWORD milliseconds);

// The local time is the host's time zone as the C library last read it (tzset). Times
// with the top bit set are no times: both calls fail with ERROR_INVALID_PARAMETER, as
// they do for a null pointer.
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime);
BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);

namespace platform {
FILETIME FileTimeFromUnix(std::timespec time);
}
