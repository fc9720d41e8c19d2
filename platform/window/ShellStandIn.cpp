#include "platform/window/ShellStandIn.h"

#include "platform/window/WindowApi.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {
namespace {

constexpr UINT ShellAnswerMessage = 0xFFF00001;

struct StandIn {
    std::mutex lock;
    std::condition_variable ready;
    HWND window = nullptr;
    bool started = false;
    std::vector<LPARAM> answers;
};

StandIn& TheStandIn() {
    static StandIn standIn;
    return standIn;
}

LRESULT ShellProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ShellAnswerMessage) {
        StandIn& standIn = TheStandIn();
        std::lock_guard guard(standIn.lock);
        standIn.answers.push_back(lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The shell's thread: its window and its message loop, for the life of the process.
void RunShell() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &ShellProc;
    windowClass.lpszClassName = L"QuilloraShellStandIn";
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowExW(0, L"QuilloraShellStandIn", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    {
        StandIn& standIn = TheStandIn();
        std::lock_guard guard(standIn.lock);
        standIn.window = window;
    }
    TheStandIn().ready.notify_all();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
}

} // namespace

HWND ShellStandInWindow() {
    StandIn& standIn = TheStandIn();
    std::unique_lock guard(standIn.lock);
    if (!standIn.started) {
        standIn.started = true;
        std::thread(&RunShell).detach();
    }
    standIn.ready.wait(guard, [&] { return standIn.window != nullptr; });
    return standIn.window;
}

bool InjectHomeKey() {
    HWND active = GetActiveWindow();
    if (!active)
        return false;
    static const UINT question = RegisterWindowMessageW(L"ShellNotifyMsg/ClickMKey");
    return PostMessageW(active, question, 0, reinterpret_cast<LPARAM>(ShellStandInWindow())) != FALSE;
}

std::vector<LPARAM> ShellAnswers() {
    StandIn& standIn = TheStandIn();
    std::lock_guard guard(standIn.lock);
    return standIn.answers;
}

} // namespace platform
