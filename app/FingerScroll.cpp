#include "app/FingerScroll.h"

#include "platform/window/WindowApi.h"

void FingerScroll::See(const MSG& message) {
    if (!m_target.PageReady())
        return;
    // Unsigned halves: the finger's place as the message carries it.
    int x = static_cast<int>(message.lParam & 0xFFFF);
    int y = static_cast<int>((message.lParam >> 16) & 0xFFFF);
    switch (message.message) {
    case WM_LBUTTONDOWN: FingerDown(x, y); break;
    case WM_MOUSEMOVE:
        if (m_dragging)
            FingerMoved(x, y);
        break;
    case WM_LBUTTONUP: FingerUp(); break;
    default: break;
    }
}

void FingerScroll::FingerDown(int x, int y) {
    HWND window = m_target.ScrollWindow();
    RECT client{};
    GetClientRect(window, &client);
    if (y >= client.bottom - client.top - ToolbarHeight)
        return; // the toolbar's strip
    m_tracker.Reset();
    m_tracker.SetLButtonDown(x, y);
    m_fingerDown = m_dragging = 1;
    m_speed = 0;
    StopMomentum();
    m_timerId = SetTimer(window, MomentumTimer, MomentumPeriod, nullptr);
}

void FingerScroll::FingerMoved(int x, int y) {
    m_tracker.UpdatePosition(x, y);
    int step = static_cast<int>(m_tracker.GetLastStepY());
    m_speed = -step;
    m_target.ScrollPage(-step);
}

void FingerScroll::FingerUp() {
    m_tracker.Reset();
    m_fingerDown = m_dragging = 0;
}

void FingerScroll::MomentumStep() {
    if (m_fingerDown)
        return;
    m_speed = static_cast<int>(m_speed * DecayFactor);
    m_target.ScrollPage(m_speed);
    if (m_speed == 0)
        StopMomentum();
}

void FingerScroll::StopMomentum() {
    if (m_timerId) {
        KillTimer(m_target.ScrollWindow(), MomentumTimer);
        m_timerId = 0;
    }
}
