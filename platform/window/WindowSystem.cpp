#include "platform/window/WindowSystem.h"

#include "platform/base/LastError.h"
#include "platform/base/Time.h"
#include "platform/window/WindowApi.h"

#include <cwctype>

namespace platform::window {

System& TheSystem() {
    // Never destroyed: threads of their own (dialogs, the stand-in shell) may still use
    // it while the process ends.
    static System& system = *new System;
    return system;
}

namespace {

// Thread ids and their queues; apart from the window lock, which may be held when a
// thread's queue is first made.
struct ThreadRegistry {
    std::mutex lock;
    std::map<DWORD, std::weak_ptr<ThreadQueue>> queues;
    DWORD next = 0x100;
};

ThreadRegistry& Registry() {
    static ThreadRegistry& registry = *new ThreadRegistry;
    return registry;
}

std::shared_ptr<ThreadQueue> NewQueue() {
    auto queue = std::make_shared<ThreadQueue>();
    ThreadRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    queue->id = registry.next++;
    registry.queues[queue->id] = queue;
    return queue;
}

} // namespace

// The calling thread's queue; when the thread ends, the windows it still owns are
// destroyed, as the device does.
struct ThreadWindows {
    std::shared_ptr<ThreadQueue> queue = NewQueue();
    ~ThreadWindows() {
        std::vector<HWND> owned;
        {
            System& system = TheSystem();
            std::lock_guard guard(system.lock);
            for (const auto& [handle, window] : system.windows) {
                if (window->queue == queue && !window->parent)
                    owned.push_back(handle);
            }
        }
        for (HWND window : owned)
            DestroyWindow(window);
        // Senders still waiting on this thread get their answer: nobody is left to give it.
        System& system = TheSystem();
        std::lock_guard guard(system.lock);
        for (const std::shared_ptr<SentMessage>& sent : queue->inbox) {
            sent->done = true;
            sent->sender->wake.notify_all();
        }
        queue->inbox.clear();
    }
};

std::shared_ptr<ThreadQueue> CurrentQueue() {
    thread_local ThreadWindows thread;
    return thread.queue;
}

std::shared_ptr<ThreadQueue> QueueOfThread(DWORD id) {
    ThreadRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    auto found = registry.queues.find(id);
    return found == registry.queues.end() ? nullptr : found->second.lock();
}

Window* FindWindowData(System& system, HWND window) {
    auto found = system.windows.find(window);
    if (found == system.windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return found->second.get();
}

LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC procedure;
    {
        System& system = TheSystem();
        std::lock_guard guard(system.lock);
        Window* data = FindWindowData(system, window);
        if (!data)
            return 0;
        procedure = data->procedure;
    }
    return procedure ? procedure(window, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

std::wstring FoldCase(std::wstring_view text) {
    std::wstring folded(text);
    for (wchar_t& c : folded)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return folded;
}

RECT ScreenRect(System& system, const Window& window) {
    RECT rect = window.rect;
    for (HWND parent = window.parent; parent;) {
        Window* data = FindWindowData(system, parent);
        if (!data)
            break;
        rect.left += data->rect.left;
        rect.right += data->rect.left;
        rect.top += data->rect.top;
        rect.bottom += data->rect.top;
        parent = data->parent;
    }
    return rect;
}

DWORD Now() { return GetTickCount(); }

} // namespace platform::window
