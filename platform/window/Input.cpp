#include "platform/window/Input.h"

#include "platform/window/WindowApi.h"
#include "platform/window/WindowSystem.h"

#include <cstdlib>
#include <mutex>

using namespace platform::window;

namespace platform {
namespace {

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

// The lock is held. `siblings` are topmost first.
HWND Hit(System& system, const std::vector<HWND>& siblings, POINT screen) {
    for (HWND handle : siblings) {
        Window* window = FindWindowData(system, handle);
        if (!window || !(window->style & WS_VISIBLE) || (window->style & WS_DISABLED))
            continue;
        if (!Contains(ScreenRect(system, *window), screen))
            continue;
        HWND child = Hit(system, window->children, screen);
        return child ? child : handle;
    }
    return nullptr;
}

struct LastPress {
    HWND window = nullptr;
    POINT point{};
    DWORD time = 0;
};

} // namespace

HWND WindowAt(POINT screen) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    return Hit(system, system.topLevel, screen);
}

HWND InjectTouch(TouchPhase phase, POINT screen) {
    static std::mutex lastLock;
    static LastPress last;
    HWND target = GetCapture();
    if (!target)
        target = WindowAt(screen);
    if (!target)
        return nullptr;
    POINT client = screen;
    ScreenToClient(target, &client);
    UINT message = phase == TouchPhase::Down ? WM_LBUTTONDOWN : phase == TouchPhase::Move ? WM_MOUSEMOVE : WM_LBUTTONUP;
    WPARAM keys = phase == TouchPhase::Up ? 0 : MK_LBUTTON;
    if (phase == TouchPhase::Down) {
        bool doubleClicks = false;
        {
            System& system = TheSystem();
            std::lock_guard guard(system.lock);
            if (Window* window = FindWindowData(system, target))
                doubleClicks = window->windowClass->style & CS_DBLCLKS;
        }
        DWORD now = Now();
        std::lock_guard guard(lastLock);
        if (doubleClicks && last.window == target && now - last.time <= DoubleClickMilliseconds &&
            std::abs(screen.x - last.point.x) <= DoubleClickDistance &&
            std::abs(screen.y - last.point.y) <= DoubleClickDistance) {
            message = WM_LBUTTONDBLCLK;
            last = {};
        } else {
            last = {target, screen, now};
        }
    }
    PostMessageW(target, message, keys, MAKELPARAM(client.x, client.y));
    return target;
}

bool InjectCharacter(wchar_t character) { return InjectKey(WM_CHAR, static_cast<WPARAM>(character)); }

bool InjectKey(UINT message, WPARAM virtualKey, LPARAM lParam) {
    HWND focus = GetFocus();
    return focus && PostMessageW(focus, message, virtualKey, lParam);
}

} // namespace platform
