#pragma once
// The toolkit's own message numbers.

#include "platform/base/Win32Types.h"

// A control's command to its window: low word of wParam = the control's id.
constexpr UINT WM_FT_COMMAND = 0xFFF10001;
// The activation of a window, passed on to it and to every window below it.
constexpr UINT WM_FT_ACTIVATE = 0xFFF10003;
// The toolkit's answer to the shell's home-key question (to the shell's window).
constexpr UINT WM_FT_SHELL_ANSWER = 0xFFF00001;

// The controls' messages to their host window.
constexpr UINT WM_FT_BUTTON_STATE = 0x0811;
constexpr UINT WM_FT_MOUSE = 0xFFF10002;
constexpr UINT WM_FT_MOUSE_TALL = 0xFFF10004;
constexpr UINT WM_FT_MOUSE_WIDE = 0xFFF10005;
constexpr UINT WM_FT_FOCUS_CHANGED = 0xFFF10020;
constexpr UINT WM_FT_DEFERRED = 0xFFF10021;
constexpr UINT WM_FT_SLIDE = 0xFFF10030;
constexpr UINT WM_FT_SLIDE_TALL = 0xFFF10031;
constexpr UINT WM_FT_SCROLL_STARTED = 0xFFF10042;
constexpr UINT WM_FT_SCROLL_STOPPED = 0xFFF10043;
constexpr UINT WM_FT_EDIT_REPORT = 0xFFF10045;
constexpr UINT FtControlTimer = 0x10010000; // + the control's id
constexpr UINT FtHoldTimer = 0x10020000;
constexpr UINT FtCaretTimer = 0x10030000; // + the text box's id
// Mouse events of WM_FT_MOUSE.
enum FtMouseEvent { FtMouseDown = 1, FtMouseUp, FtMouseDoubleClick, FtMouseMove, FtMouseHoldStarted, FtMouseHeld };
