#pragma once
// A finger on one toolkit window, sent straight to it (no hit-testing of the screen),
// for tests that drive a window without the program around it.

#include "platform/window/WindowApi.h"
#include "toolkit/FtWnd.h"
#include "toolkit/ToolkitMessages.h"

#include <atomic>
#include <chrono>
#include <thread>

// Every message waiting for this thread.
inline void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

inline void SendMouse(CFtWnd& window, UINT message, int x, int y) {
    SendMessageW(window.GetHwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
}

inline void TapWindow(CFtWnd& window, int x, int y) {
    SendMouse(window, WM_LBUTTONDOWN, x, y);
    SendMouse(window, WM_LBUTTONUP, x, y);
    PumpMessages();
}

// Down, up, and the second press as the double click it is.
inline void DoubleTapWindow(CFtWnd& window, int x, int y) {
    SendMouse(window, WM_LBUTTONDOWN, x, y);
    SendMouse(window, WM_LBUTTONUP, x, y);
    SendMouse(window, WM_LBUTTONDBLCLK, x, y);
    SendMouse(window, WM_LBUTTONUP, x, y);
    PumpMessages();
}

// Presses a tool-bar button of the next window of a class to come up, from a thread of
// its own: a modal side window runs its loop inside the test's, out of the test's reach.
// The window's parent is noted as it is found.
class PressWhenShown {
public:
    PressWhenShown(const wchar_t* className, UINT toolbarId, LPARAM button)
        : m_thread([this, className, toolbarId, button] { Press(className, toolbarId, button); }) {}
    ~PressWhenShown() { m_thread.join(); }
    PressWhenShown(const PressWhenShown&) = delete;
    PressWhenShown& operator=(const PressWhenShown&) = delete;

    // The window pressed, once it was; null before.
    HWND Window() const { return m_window; }
    HWND Parent() const { return m_parent; }

private:
    void Press(const wchar_t* className, UINT toolbarId, LPARAM button) {
        auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        HWND window = nullptr;
        while (!window && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            window = FindWindowW(className, nullptr);
        }
        if (!window)
            return;
        m_parent = GetParent(window);
        m_window = window;
        PostMessageW(window, WM_FT_COMMAND, toolbarId, button);
    }

    std::atomic<HWND> m_window{nullptr};
    std::atomic<HWND> m_parent{nullptr};
    std::thread m_thread;
};
