#pragma once
// The screen in a desktop window (SDL2). A thread of its own owns the window: it shows
// what changed, at most 60 times a second, and turns the mouse into the finger (left
// button) and the keyboard into WM_CHAR for the focus window (Backspace 8, Enter 13;
// Ctrl+V takes the desktop's clipboard text and sends the Control key then "V" with
// lParam 1, as the text box expects). Closing the window posts WM_QUIT to the thread
// that opened it. A raise that another process asks for brings the window opened last
// to the front of the desktop.

#include "platform/gdi/Surface.h"

#include <memory>

namespace platform {

class SdlDisplay {
public:
    // Null when there is no desktop to open a window on.
    static std::unique_ptr<SdlDisplay> Open(int scale);
    ~SdlDisplay();
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    // What the window shows now, read back from it (480 × 720).
    bool ReadBack(Surface& out);

    struct State;

private:
    explicit SdlDisplay(std::shared_ptr<State> state);
    std::shared_ptr<State> m_state;
};

// Asks the open desktop window to come to the front; nothing without one. Any thread.
void RaiseDesktopWindow();

} // namespace platform
