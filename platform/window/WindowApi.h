#pragma once
// Windows, their classes, and the message queues of the threads that own them. Any
// thread may create windows; each such thread gets a queue of its own. A message sent
// to another thread's window is handled on that thread while the sender waits, and the
// waiting sender goes on handling messages sent to its own windows, so two threads
// sending to each other do not lock up. WM_PAINT is made when a thread's queue is
// empty and one of its windows needs painting; WM_TIMER after that.
// Windows have no frame: the client area is the whole window.

#include "platform/window/WindowTypes.h"

#include <vector>

using HDC = void*;

constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;

ATOM RegisterClassW(const WNDCLASSW* windowClass);
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL IsWindowEnabled(HWND window);
LONG GetWindowLongW(HWND window, int index);
LONG SetWindowLongW(HWND window, int index, LONG value);
HWND SetParent(HWND child, HWND parent);
HWND GetParent(HWND window);
HWND GetWindow(HWND window, UINT relation);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL ShowWindow(HWND window, int command);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL SetForegroundWindow(HWND window);
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
HWND FindWindowW(LPCWSTR className, LPCWSTR windowName);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
int GetWindowTextW(HWND window, LPWSTR text, int maximum);
int GetClassNameW(HWND window, LPWSTR name, int maximum);
BOOL GetClientRect(HWND window, RECT* rect);
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
int GetSystemMetrics(int index);
BOOL SystemParametersInfoW(UINT action, UINT parameter, LPVOID value, UINT winIni);

DWORD GetCurrentThreadId();
// The id (as GetCurrentThreadId gives it) of the thread that made the window; 0 for none.
DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId);
BOOL PostThreadMessageW(DWORD thread, UINT message, WPARAM wParam, LPARAM lParam);
BOOL GetMessageW(MSG* message, HWND window, UINT first, UINT last);
BOOL PeekMessageW(MSG* message, HWND window, UINT first, UINT last, UINT remove);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageW(const MSG* message);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
UINT RegisterWindowMessageW(LPCWSTR name);

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure);
BOOL KillTimer(HWND window, UINT_PTR id);

HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND window);
HWND GetFocus();

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL GetUpdateRect(HWND window, RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND window);

namespace platform {

// What decides where a window may draw on the screen: its own screen rectangle, the
// screen rectangles of its ancestors (it is drawn within them), and those of the
// visible windows above it and above its ancestors, and of its visible children (they
// cover it: a window never paints over its children).
struct WindowPlacement {
    RECT window;
    std::vector<RECT> ancestors;
    std::vector<RECT> above;
    bool visible;
};
bool PlacementOf(HWND window, WindowPlacement& placement);

// Whether the window's background is to be erased before it paints (and forgets it);
// `background` is its class's brush.
bool TakeEraseRequest(HWND window, HBRUSH& background);
// How DefWindowProcW erases a background: set by the display, which can draw.
using BackgroundEraser = bool (*)(HWND window, HDC dc, HBRUSH background);
void SetBackgroundEraser(BackgroundEraser eraser);
// How DefWindowProcW answers WM_PAINT (begin and end painting): set by the display;
// without one the window is only marked painted.
using DefaultPainter = void (*)(HWND window);
void SetDefaultPainter(DefaultPainter painter);

} // namespace platform
