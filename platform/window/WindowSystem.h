#pragma once
// The state behind the window calls: one lock guards every window, class and queue,
// as the device's window manager serialises them; window procedures always run with
// the lock released.

#include "platform/window/WindowTypes.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace platform::window {

struct ThreadQueue;

struct SentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
    std::shared_ptr<ThreadQueue> sender;
};

struct Timer {
    HWND window;
    UINT_PTR id;
    std::chrono::milliseconds period;
    TIMERPROC procedure;
    std::chrono::steady_clock::time_point due;
};

struct ThreadQueue {
    DWORD id = 0;
    std::condition_variable wake;
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> inbox;
    std::vector<Timer> timers;
    bool quit = false;
    int quitCode = 0;
};

struct WindowClass {
    std::wstring name;
    UINT style;
    WNDPROC procedure;
    HBRUSH background;
};

struct Window {
    HWND handle;
    std::shared_ptr<WindowClass> windowClass;
    WNDPROC procedure;
    std::wstring text;
    DWORD style;
    DWORD exStyle;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    HWND parent = nullptr;      // a child window's parent (WS_CHILD)
    HWND owner = nullptr;       // a pop-up's owner: a top-level window of its own above it
    std::vector<HWND> children; // topmost first
    RECT rect;                  // in the parent's client co-ordinates, or the screen's
    std::shared_ptr<ThreadQueue> queue;
    std::thread::id thread;
    bool needsPaint = false;
    bool needsErase = false;
    RECT update{};
};

struct System {
    std::mutex lock;
    std::map<std::wstring, std::shared_ptr<WindowClass>> classes; // by case-folded name
    std::unordered_map<HWND, std::unique_ptr<Window>> windows;
    std::vector<HWND> topLevel; // topmost first
    HWND capture = nullptr;
    HWND focus = nullptr;
    HWND active = nullptr;
    std::map<std::wstring, UINT> registeredMessages;
    UINT nextRegistered = 0xC000;
    // Atoms are never handed out twice, even after their class is unregistered.
    ATOM nextAtom = 0xC000;
};

System& TheSystem();
// The calling thread's queue, made on first use.
std::shared_ptr<ThreadQueue> CurrentQueue();
// The queue of the thread with this id while that thread lives.
std::shared_ptr<ThreadQueue> QueueOfThread(DWORD id);
// The window, or null with ERROR_INVALID_WINDOW_HANDLE. The lock must be held.
Window* FindWindowData(System& system, HWND window);
// Calls the window's procedure; takes and releases the lock itself.
LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
std::wstring FoldCase(std::wstring_view text);
RECT ScreenRect(System& system, const Window& window);
// FindWindowW among this process's windows only; takes the lock itself.
HWND FindLocalWindow(LPCWSTR className, LPCWSTR windowName);
DWORD Now();

} // namespace platform::window
