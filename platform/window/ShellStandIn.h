#pragma once
// The device shell's home key, as this machine plays it: the desktop window's Home key
// asks the active window what a home-key click does ("ShellNotifyMsg/ClickMKey", the
// asking shell window in lParam), and a stand-in shell window, on a thread of its own,
// receives the answers (0xFFF00001) and keeps them for tests to read. Thread-safe.

#include "platform/window/WindowTypes.h"

#include <vector>

namespace platform {

// Sends the home-key question to the active window; false when no window is active.
bool InjectHomeKey();
// The stand-in shell's window, made on first use.
HWND ShellStandInWindow();
// The lParam of every answer the stand-in shell has received, oldest first.
std::vector<LPARAM> ShellAnswers();

} // namespace platform
