#include "toolkit/InputFilter.h"

#include "platform/base/Time.h"

#include <mutex>

namespace {

struct Filter {
    std::mutex lock;
    bool armed = false;
    DWORD stamp = 0;
};

Filter& TheFilter() {
    static Filter& filter = *new Filter;
    return filter;
}

constexpr UINT LastFilteredMessage = 525;

} // namespace

namespace StaleInput {

void Arm() {
    Filter& filter = TheFilter();
    std::lock_guard guard(filter.lock);
    filter.armed = true;
}

void Stamp() {
    Filter& filter = TheFilter();
    std::lock_guard guard(filter.lock);
    filter.stamp = GetTickCount();
}

bool Drops(const MSG& message) {
    if (message.message < WM_MOUSEFIRST || message.message > LastFilteredMessage)
        return false;
    Filter& filter = TheFilter();
    std::lock_guard guard(filter.lock);
    if (!filter.armed)
        return false;
    // Tick counts wrap: compare by difference. Without a stamp nothing is older than it.
    if (filter.stamp != 0 && static_cast<std::int32_t>(message.time - filter.stamp) < 0)
        return true;
    filter.armed = false;
    filter.stamp = 0;
    return false;
}

} // namespace StaleInput
