#include "toolkit/WaitDialog.h"

#include "platform/base/Time.h"
#include "platform/device/Process.h"
#include "platform/window/WindowApi.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace {

struct Observer {
    std::mutex lock;
    std::function<void(int, DWORD)> call;
};

Observer& TheObserver() {
    static Observer& observer = *new Observer;
    return observer;
}

struct WaitRequest {
    HWND owner;
    RECT area;
    bool panel;
    unsigned closesBefore; // the close calls made before this show
};

std::atomic<unsigned> g_closeCalls{0};
std::atomic<int> g_waitThreads{0};

DWORD WaitThread(LPVOID parameter) {
    WaitRequest request = *static_cast<WaitRequest*>(parameter);
    delete static_cast<WaitRequest*>(parameter);
    WaitDialog dialog(request.panel);
    const RECT& area = request.area;
    // A close that came before the window existed found nothing to close: it counts here.
    if (dialog.Create(area.left, area.top, area.right - area.left, area.bottom - area.top, request.owner, nullptr,
                      WS_POPUP, 0) &&
        g_closeCalls.load() == request.closesBefore)
        dialog.DoModal();
    dialog.Destroy();
    --g_waitThreads;
    return 0;
}

// Polls for a window of the class, at most 50 times 1 ms apart, until it is `present`.
void AwaitWindow(const wchar_t* className, bool present) {
    for (int poll = 0; poll < 50 && (FindWindowW(className, nullptr) != nullptr) != present; ++poll)
        Sleep(1);
}

} // namespace

WaitDialog::WaitDialog(bool panel) : m_panel(panel) { SetFillBackground(false); }

BOOL WaitDialog::OnInitDialog() {
    CFtHostWnd::OnInitDialog();
    m_snapshot.Take(GetHwnd(), GetWidth(), GetHeight());
    HMODULE module = GetResourceModule();
    for (int i = 0; i < FrameCount; ++i)
        m_frames[i] = LoadImage(module, FirstWaitFrame + i, ImageWithBitmap);
    SetTimer(GetHwnd(), FrameTimer, FramePeriod, nullptr);
    return TRUE;
}

LRESULT WaitDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CloseMessage) {
        KillTimer(GetHwnd(), FrameTimer);
        EndModal(1);
        return 0;
    }
    return CFtHostWnd::WindowProc(message, wParam, lParam);
}

void WaitDialog::OnTimer(UINT_PTR timerId) {
    if (timerId != FrameTimer)
        return;
    DWORD tick = GetTickCount(); // when the timer came, before the paint's own time
    m_frame = (m_frame + 1) % FrameCount;
    Invalidate(nullptr, false);
    Update();
    std::function<void(int, DWORD)> observer;
    {
        Observer& shared = TheObserver();
        std::lock_guard guard(shared.lock);
        observer = shared.call;
    }
    if (observer)
        observer(m_frame, tick);
}

void WaitDialog::PaintWin(HDC dc, const RECT& rect) {
    m_snapshot.Draw(dc, rect);
    RECT client = GetClientRect();
    if (m_panel) {
        int side = std::min(client.right, client.bottom);
        RECT box{(client.right - side) / 2, (client.bottom - side) / 2, (client.right + side) / 2,
                 (client.bottom + side) / 2};
        DrawPanel(dc, box);
    }
    if (m_frame < 0 || m_frame >= FrameCount)
        return;
    SIZE size = ImageSize(m_frames[m_frame]);
    int x = (client.right - size.cx) / 2, y = (client.bottom - size.cy) / 2;
    DrawImage(m_frames[m_frame], dc, RECT{x, y, x + size.cx, y + size.cy}, false, false);
}

void WaitDialog::SetFrameObserver(std::function<void(int, DWORD)> observer) {
    Observer& shared = TheObserver();
    std::lock_guard guard(shared.lock);
    shared.call = std::move(observer);
}

void ShowWaitDialogWindow(HWND owner, const RECT* area, int value) {
    RECT place = area ? *area : RECT{};
    if (!area) {
        RECT work = CFtWnd::GetWorkArea();
        int x = (work.left + work.right) / 2 - 50, y = (work.top + work.bottom) / 2 - 50;
        place = RECT{x, y, x + 100, y + 100};
    }
    auto* request = new WaitRequest{owner, place, value != 0, g_closeCalls.load()};
    ++g_waitThreads;
    HANDLE thread = CreateThread(nullptr, 0, WaitThread, request, 0, nullptr);
    if (!thread) {
        --g_waitThreads;
        delete request;
        return;
    }
    CloseHandle(thread);
    AwaitWindow(L"WaitDialog", true);
}

int RunningWaitDialogs() { return g_waitThreads.load(); }

void CloseWaitDialogWindow() {
    ++g_closeCalls;
    for (int poll = 0; poll < 50; ++poll) {
        HWND dialog = FindWindowW(L"WaitDialog", nullptr);
        if (!dialog)
            return;
        SendMessageW(dialog, WaitDialog::CloseMessage, 0, 0);
        Sleep(1);
    }
}
