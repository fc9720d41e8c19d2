#pragma once
// Input as the display backends deliver it: a finger (the left mouse button) and typed
// text. A touch goes to the capturing window, else to the topmost visible, enabled
// window under it, in that window's client co-ordinates; a second press soon and near
// the first on a window whose class asks for it is a double click.

#include "platform/window/WindowTypes.h"

namespace platform {

enum class TouchPhase { Down, Move, Up };

constexpr DWORD DoubleClickMilliseconds = 500;
constexpr int DoubleClickDistance = 4;

// Posts the touch's message; returns the window it went to, or null.
HWND InjectTouch(TouchPhase phase, POINT screen);
// Posts WM_CHAR (or a key message) to the focus window; false when none has the focus.
bool InjectCharacter(wchar_t character);
bool InjectKey(UINT message, WPARAM virtualKey, LPARAM lParam = 0);
// The topmost visible, enabled window at the point, descending into children.
HWND WindowAt(POINT screen);

} // namespace platform
