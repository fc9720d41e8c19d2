#pragma once
// The toolkit's own message numbers.

#include "platform/base/Win32Types.h"

// A control's command to its window: low word of wParam = the control's id.
constexpr UINT WM_FT_COMMAND = 0xFFF10001;
// A list's mouse notification.
constexpr UINT WM_FT_LIST_NOTIFY = 0xFFF10002;
// The activation of a window, passed on to it and to every window below it.
constexpr UINT WM_FT_ACTIVATE = 0xFFF10003;
// The toolkit's answer to the shell's home-key question (to the shell's window).
constexpr UINT WM_FT_SHELL_ANSWER = 0xFFF00001;
