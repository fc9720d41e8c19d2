#pragma once
// A finger on one toolkit window, sent straight to it (no hit-testing of the screen),
// for tests that drive a window without the program around it.

#include "platform/window/WindowApi.h"
#include "toolkit/FtWnd.h"

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
