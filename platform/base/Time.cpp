#include "platform/base/Time.h"

#include <chrono>
#include <thread>

DWORD GetTickCount() {
    auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

void Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

namespace platform {

FILETIME FileTimeFromUnix(std::timespec time) {
    // Seconds between 1601-01-01 and 1970-01-01.
    constexpr std::int64_t EpochDifference = 11644473600LL;
    std::int64_t ticks = (static_cast<std::int64_t>(time.tv_sec) + EpochDifference) * 10000000LL + time.tv_nsec / 100;
    if (ticks < 0)
        ticks = 0;
    auto value = static_cast<std::uint64_t>(ticks);
    return FILETIME{static_cast<DWORD>(value & 0xFFFFFFFFu), static_cast<DWORD>(value >> 32)};
}

} // namespace platform
