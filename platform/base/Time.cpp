#include "platform/base/Time.h"

#include "platform/base/LastError.h"

#include <chrono>
#include <cstdint>
#include <thread>

namespace {

constexpr std::int64_t TicksPerSecond = 10000000;
constexpr std::int64_t SecondsPerDay = 86400;
// Seconds between 1601-01-01 and 1970-01-01.
constexpr std::int64_t EpochDifference = 11644473600LL;
constexpr std::uint64_t LargestTicks = 0x7FFFFFFFFFFFFFFFULL;

std::uint64_t TicksOf(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FileTimeOf(std::uint64_t ticks) {
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

} // namespace

DWORD GetTickCount() {
    auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

void Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime) {
    if (!fileTime || !localFileTime || TicksOf(*fileTime) > LargestTicks)
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    auto ticks = static_cast<std::int64_t>(TicksOf(*fileTime));
    auto time = static_cast<std::time_t>(ticks / TicksPerSecond - EpochDifference);
    std::tm local{};
    if (!::localtime_r(&time, &local))
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    // The offset in force at that instant: a summer date stays in summer time even when
    // it is converted in winter.
    std::int64_t shifted = ticks + static_cast<std::int64_t>(local.tm_gmtoff) * TicksPerSecond;
    if (shifted < 0)
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    *localFileTime = FileTimeOf(static_cast<std::uint64_t>(shifted));
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime) {
    using namespace std::chrono;
    if (!fileTime || !systemTime || TicksOf(*fileTime) > LargestTicks)
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    auto ticks = static_cast<std::int64_t>(TicksOf(*fileTime));
    std::int64_t wholeSeconds = ticks / TicksPerSecond, secondOfDay = wholeSeconds % SecondsPerDay;
    sys_days day = sys_days{year{1601} / January / 1} + days{wholeSeconds / SecondsPerDay};
    year_month_day date{day};
    systemTime->wYear = static_cast<WORD>(static_cast<int>(date.year()));
    systemTime->wMonth = static_cast<WORD>(static_cast<unsigned>(date.month()));
    systemTime->wDayOfWeek = static_cast<WORD>(weekday{day}.c_encoding());
    systemTime->wDay = static_cast<WORD>(static_cast<unsigned>(date.day()));
    systemTime->wHour = static_cast<WORD>(secondOfDay / 3600);
    systemTime->wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    systemTime->wSecond = static_cast<WORD>(secondOfDay % 60);
    systemTime->wMilliseconds = static_cast<WORD>(ticks % TicksPerSecond / 10000);
    return TRUE;
}

namespace platform {

FILETIME FileTimeFromUnix(std::timespec time) {
    std::int64_t ticks =
        (static_cast<std::int64_t>(time.tv_sec) + EpochDifference) * TicksPerSecond + time.tv_nsec / 100;
    if (ticks < 0)
        ticks = 0;
    return FileTimeOf(static_cast<std::uint64_t>(ticks));
}

} // namespace platform
