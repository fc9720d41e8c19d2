#include "platform/window/DeviceState.h"

#include "platform/window/WindowApi.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace {

constexpr LANGID ChineseSimplified = 0x0804;

std::atomic<int> g_language{-1}; // -1: not set, the environment or the default decides
std::atomic<unsigned> g_idleResets{0};

struct InputPanel {
    std::mutex lock;
    bool on = false;
    RECT rect{};
};

InputPanel& ThePanel() {
    static InputPanel& panel = *new InputPanel;
    return panel;
}

LANGID ConfiguredLanguage() {
    const char* configured = std::getenv("QUILLORA_UI_LANGUAGE");
    if (!configured || !*configured)
        return ChineseSimplified;
    char* end = nullptr;
    unsigned long value = std::strtoul(configured, &end, 16);
    return *end == '\0' && value <= 0xFFFF ? static_cast<LANGID>(value) : ChineseSimplified;
}

} // namespace

LANGID GetUserDefaultUILanguage() {
    int set = g_language.load();
    return set >= 0 ? static_cast<LANGID>(set) : ConfiguredLanguage();
}

BOOL SipGetInfo(SIPINFO* info) {
    if (!info || info->cbSize != sizeof(SIPINFO))
        return FALSE;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    InputPanel& panel = ThePanel();
    std::lock_guard guard(panel.lock);
    info->fdwFlags = panel.on ? SIPF_ON : 0;
    info->rcSipRect = panel.on ? panel.rect : RECT{};
    info->rcVisibleDesktop = work;
    if (panel.on && panel.rect.top > work.top && panel.rect.top < work.bottom)
        info->rcVisibleDesktop.bottom = panel.rect.top;
    info->dwImDataSize = 0;
    info->pvImData = nullptr;
    return TRUE;
}

void SystemIdleTimerReset() { ++g_idleResets; }

namespace platform {

void SetUserInterfaceLanguage(LANGID language) { g_language = language; }

void SetInputPanel(bool on, const RECT& rect) {
    InputPanel& panel = ThePanel();
    std::lock_guard guard(panel.lock);
    panel.on = on;
    panel.rect = rect;
}

unsigned IdleTimerResets() { return g_idleResets; }

} // namespace platform
