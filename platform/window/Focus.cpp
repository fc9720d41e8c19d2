#include "platform/base/LastError.h"
#include "platform/window/RemoteWindows.h"
#include "platform/window/WindowApi.h"
#include "platform/window/WindowSystem.h"

#include <algorithm>
#include <vector>

using namespace platform::window;

namespace {

// Swaps one of the system's window slots; nothing changes for a window that is gone.
bool Swap(HWND System::*slot, HWND window, HWND& previous) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    if (window && !FindWindowData(system, window))
        return false;
    previous = system.*slot;
    system.*slot = window;
    return true;
}

HWND Read(HWND System::*slot) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    return system.*slot;
}

} // namespace

HWND SetCapture(HWND window) {
    HWND previous = nullptr;
    Swap(&System::capture, window, previous);
    return previous;
}

BOOL ReleaseCapture() {
    HWND previous = nullptr;
    Swap(&System::capture, nullptr, previous);
    return TRUE;
}

HWND GetCapture() { return Read(&System::capture); }

HWND SetFocus(HWND window) {
    HWND previous = nullptr;
    if (!Swap(&System::focus, window, previous))
        return nullptr;
    if (previous == window)
        return previous;
    if (previous)
        SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window)
        SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND GetFocus() { return Read(&System::focus); }

HWND SetActiveWindow(HWND window) {
    HWND previous = nullptr;
    if (!Swap(&System::active, window, previous))
        return nullptr;
    if (previous == window)
        return previous;
    if (previous)
        SendMessageW(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
    if (window) {
        // The active window comes to the top of its siblings.
        {
            System& system = TheSystem();
            std::lock_guard guard(system.lock);
            if (Window* data = FindWindowData(system, window); data && !data->parent) {
                auto& order = system.topLevel;
                order.erase(std::remove(order.begin(), order.end(), window), order.end());
                order.insert(order.begin(), window);
                // Pop-ups it owns stay above it (a dialog over an owner brought forward).
                std::vector<HWND> owned;
                for (HWND other : order) {
                    Window* candidate = FindWindowData(system, other);
                    if (candidate && candidate->owner == window)
                        owned.push_back(other);
                }
                for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
                    order.erase(std::remove(order.begin(), order.end(), *it), order.end());
                    order.insert(order.begin(), *it);
                }
            }
        }
        SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    }
    return previous;
}

HWND GetActiveWindow() { return Read(&System::active); }

BOOL SetForegroundWindow(HWND window) {
    if (platform::window::IsRemoteHandle(window))
        return platform::window::RaiseRemoteWindow(window) ? TRUE : FALSE;
    if (!IsWindow(window))
        return FALSE;
    SetActiveWindow(window);
    return TRUE;
}

BOOL InvalidateRect(HWND handle, const RECT* rect, BOOL erase) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, handle);
    if (!window)
        return FALSE;
    RECT client{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    RECT area = rect ? RECT{std::max(rect->left, client.left), std::max(rect->top, client.top),
                            std::min(rect->right, client.right), std::min(rect->bottom, client.bottom)}
                     : client;
    if (area.left >= area.right || area.top >= area.bottom)
        return TRUE;
    window->needsErase = window->needsErase || erase;
    if (!window->needsPaint) {
        window->update = area;
        window->needsPaint = true;
    } else {
        window->update = {std::min(window->update.left, area.left), std::min(window->update.top, area.top),
                          std::max(window->update.right, area.right), std::max(window->update.bottom, area.bottom)};
    }
    window->queue->wake.notify_all();
    return TRUE;
}

BOOL ValidateRect(HWND handle, const RECT* rect) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, handle);
    if (!window)
        return FALSE;
    // The update area is kept as one rectangle: only a rectangle that covers it validates it.
    if (!rect || (rect->left <= window->update.left && rect->top <= window->update.top &&
                  rect->right >= window->update.right && rect->bottom >= window->update.bottom)) {
        window->needsPaint = false;
        window->update = {};
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND handle, RECT* rect, BOOL) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, handle);
    if (!window)
        return FALSE;
    if (rect)
        *rect = window->needsPaint ? window->update : RECT{};
    return window->needsPaint ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND handle) {
    if (!GetUpdateRect(handle, nullptr, FALSE))
        return IsWindow(handle);
    SendMessageW(handle, WM_PAINT, 0, 0);
    return TRUE;
}
