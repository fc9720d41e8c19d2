#include "platform/base/LastError.h"
#include "platform/window/RemoteWindows.h"
#include "platform/window/WindowApi.h"
#include "platform/window/WindowSystem.h"

#include <algorithm>
#include <atomic>
#include <cwchar>

using namespace platform::window;
using Clock = std::chrono::steady_clock;

namespace {

bool InFilter(const MSG& message, HWND window, UINT first, UINT last) {
    if (window && message.hwnd != window)
        return false;
    return (first == 0 && last == 0) || (message.message >= first && message.message <= last);
}

// Runs one message sent from another thread; the lock is held on entry and on return.
void HandleSent(std::unique_lock<std::mutex>& lock, ThreadQueue& queue) {
    std::shared_ptr<SentMessage> sent = queue.inbox.front();
    queue.inbox.pop_front();
    lock.unlock();
    LRESULT result = CallProcedure(sent->window, sent->message, sent->wParam, sent->lParam);
    lock.lock();
    sent->result = result;
    sent->done = true;
    sent->sender->wake.notify_all();
}

bool IsVisible(System& system, const Window& window) {
    for (const Window* at = &window; at; at = at->parent ? FindWindowData(system, at->parent) : nullptr) {
        if (!(at->style & WS_VISIBLE))
            return false;
    }
    return true;
}

// The next message the queue has for the filter: posted first, then WM_QUIT, then
// WM_PAINT, then WM_TIMER. Sent messages are handled on the way. The lock is held.
bool NextMessage(std::unique_lock<std::mutex>& lock, ThreadQueue& queue, MSG& out, HWND window, UINT first, UINT last,
                 bool remove) {
    System& system = TheSystem();
    while (!queue.inbox.empty())
        HandleSent(lock, queue);
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (InFilter(*it, window, first, last)) {
            out = *it;
            if (remove)
                queue.posted.erase(it);
            return true;
        }
    }
    if (queue.quit) {
        out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, Now(), {}};
        if (remove)
            queue.quit = false;
        return true;
    }
    auto self = std::this_thread::get_id();
    for (auto& [handle, data] : system.windows) {
        if (data->thread == self && data->needsPaint && IsVisible(system, *data)) {
            MSG paint{handle, WM_PAINT, 0, 0, Now(), {}};
            if (InFilter(paint, window, first, last)) {
                out = paint;
                return true;
            }
        }
    }
    auto now = Clock::now();
    for (Timer& timer : queue.timers) {
        MSG tick{timer.window, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.procedure), Now(), {}};
        if (timer.due <= now && InFilter(tick, window, first, last)) {
            out = tick;
            if (remove)
                timer.due = now + timer.period;
            return true;
        }
    }
    return false;
}

Clock::time_point NextTimer(const ThreadQueue& queue) {
    Clock::time_point next = Clock::now() + std::chrono::hours(1);
    for (const Timer& timer : queue.timers)
        next = std::min(next, timer.due);
    return next;
}

} // namespace

BOOL GetMessageW(MSG* message, HWND window, UINT first, UINT last) {
    if (!message) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    std::shared_ptr<ThreadQueue> queue = CurrentQueue();
    System& system = TheSystem();
    std::unique_lock lock(system.lock);
    while (!NextMessage(lock, *queue, *message, window, first, last, true))
        queue->wake.wait_until(lock, NextTimer(*queue));
    return message->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageW(MSG* message, HWND window, UINT first, UINT last, UINT remove) {
    if (!message)
        return FALSE;
    std::shared_ptr<ThreadQueue> queue = CurrentQueue();
    System& system = TheSystem();
    std::unique_lock lock(system.lock);
    return NextMessage(lock, *queue, *message, window, first, last, remove & PM_REMOVE) ? TRUE : FALSE;
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    System& system = TheSystem();
    std::shared_ptr<ThreadQueue> queue;
    std::lock_guard guard(system.lock);
    if (window) {
        Window* data = FindWindowData(system, window);
        if (!data)
            return FALSE;
        queue = data->queue;
    } else {
        queue = CurrentQueue();
    }
    queue->posted.push_back(MSG{window, message, wParam, lParam, Now(), {}});
    queue->wake.notify_all();
    return TRUE;
}

DWORD GetCurrentThreadId() { return CurrentQueue()->id; }

BOOL PostThreadMessageW(DWORD thread, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> queue = QueueOfThread(thread);
    if (!queue) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    queue->posted.push_back(MSG{nullptr, message, wParam, lParam, Now(), {}});
    queue->wake.notify_all();
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    std::shared_ptr<ThreadQueue> queue = CurrentQueue();
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    queue->quit = true;
    queue->quitCode = exitCode;
    queue->wake.notify_all();
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    System& system = TheSystem();
    std::shared_ptr<ThreadQueue> own = CurrentQueue();
    std::unique_lock lock(system.lock);
    Window* data = FindWindowData(system, window);
    if (!data)
        return 0;
    if (data->thread == std::this_thread::get_id()) {
        lock.unlock();
        return CallProcedure(window, message, wParam, lParam);
    }
    auto sent = std::make_shared<SentMessage>(SentMessage{window, message, wParam, lParam, 0, false, own});
    data->queue->inbox.push_back(sent);
    data->queue->wake.notify_all();
    // While waiting, answer what other threads send to this one.
    while (!sent->done) {
        if (!own->inbox.empty())
            HandleSent(lock, *own);
        else
            own->wake.wait(lock);
    }
    return sent->result;
}

BOOL TranslateMessage(const MSG*) {
    // The display backends deliver typed characters as WM_CHAR themselves.
    return FALSE;
}

LRESULT DispatchMessageW(const MSG* message) {
    if (!message)
        return 0;
    // A raise another process asked for is the window system's business, not the window's.
    if (platform::window::TakeRemoteRaise(*message))
        return 0;
    if (message->message == WM_TIMER && message->lParam) {
        reinterpret_cast<TIMERPROC>(message->lParam)(message->hwnd, WM_TIMER, message->wParam, message->time);
        return 0;
    }
    if (!message->hwnd)
        return 0;
    return CallProcedure(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

namespace {
std::atomic<platform::BackgroundEraser> g_eraser{nullptr};
std::atomic<platform::DefaultPainter> g_painter{nullptr};
} // namespace

void platform::SetBackgroundEraser(BackgroundEraser eraser) { g_eraser = eraser; }
void platform::SetDefaultPainter(DefaultPainter painter) { g_painter = painter; }

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    System& system = TheSystem();
    switch (message) {
    case WM_ERASEBKGND: {
        HBRUSH background = nullptr;
        {
            std::lock_guard guard(system.lock);
            Window* data = FindWindowData(system, window);
            if (!data)
                return 0;
            background = data->windowClass->background;
        }
        platform::BackgroundEraser eraser = g_eraser;
        return background && eraser && eraser(window, reinterpret_cast<HDC>(wParam), background) ? 1 : 0;
    }
    case WM_PAINT:
        if (platform::DefaultPainter painter = g_painter)
            painter(window);
        else
            ValidateRect(window, nullptr);
        return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_SETTEXT: {
        std::lock_guard guard(system.lock);
        Window* data = FindWindowData(system, window);
        if (!data)
            return FALSE;
        data->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
        return TRUE;
    }
    case WM_GETTEXTLENGTH: {
        std::lock_guard guard(system.lock);
        Window* data = FindWindowData(system, window);
        return data ? static_cast<LRESULT>(data->text.size()) : 0;
    }
    case WM_GETTEXT: {
        std::lock_guard guard(system.lock);
        Window* data = FindWindowData(system, window);
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (!data || !buffer || wParam == 0)
            return 0;
        std::size_t count = std::min<std::size_t>(data->text.size(), wParam - 1);
        std::wmemcpy(buffer, data->text.data(), count);
        buffer[count] = L'\0';
        return static_cast<LRESULT>(count);
    }
    default: return 0;
    }
}

UINT RegisterWindowMessageW(LPCWSTR name) {
    if (!name || !*name)
        return 0;
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    std::wstring key = FoldCase(name);
    auto found = system.registeredMessages.find(key);
    if (found != system.registeredMessages.end())
        return found->second;
    return system.registeredMessages[key] = system.nextRegistered++;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    std::shared_ptr<ThreadQueue> queue;
    if (window) {
        Window* data = FindWindowData(system, window);
        if (!data)
            return 0;
        queue = data->queue;
    } else {
        queue = CurrentQueue();
        static UINT_PTR nextThreadTimer = 0x7F00;
        id = ++nextThreadTimer;
    }
    auto period = std::chrono::milliseconds(std::max(elapse, USER_TIMER_MINIMUM));
    Timer timer{window, id, period, procedure, Clock::now() + period};
    auto existing = std::find_if(queue->timers.begin(), queue->timers.end(),
                                 [&](const Timer& t) { return t.window == window && t.id == id; });
    if (existing != queue->timers.end())
        *existing = timer;
    else
        queue->timers.push_back(timer);
    queue->wake.notify_all();
    return window ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    std::shared_ptr<ThreadQueue> queue;
    if (window) {
        Window* data = FindWindowData(system, window);
        if (!data)
            return FALSE;
        queue = data->queue;
    } else {
        queue = CurrentQueue();
    }
    auto& timers = queue->timers;
    auto end =
        std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
    bool found = end != timers.end();
    timers.erase(end, timers.end());
    // A tick already made for the timer is not delivered any more.
    auto& posted = queue->posted;
    posted.erase(
        std::remove_if(posted.begin(), posted.end(),
                       [&](const MSG& m) { return m.message == WM_TIMER && m.hwnd == window && m.wParam == id; }),
        posted.end());
    return found ? TRUE : FALSE;
}
