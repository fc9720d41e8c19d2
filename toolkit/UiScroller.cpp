#include "toolkit/UiScroller.h"

#include "platform/base/DebugOutput.h"
#include "platform/base/Time.h"
#include "platform/gdi/GdiApi.h"
#include "platform/window/WindowApi.h"
#include "toolkit/ScrollPainter.h"
#include "toolkit/Theme.h"
#include "toolkit/WinManager.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr UINT TickMilliseconds = 10;
// The motion's braking factor: a single-precision -0.3 widened, its sign dropped.
const double FlingDeceleration = -static_cast<double>(-0.3f);

} // namespace

UiScroller::~UiScroller() {
    HWND host = GetHostWindow();
    if (host && IsWindow(host))
        KillTimer(host, TimerId());
}

void UiScroller::Press(int x, int y) {
    m_moveTick = GetTickCount();
    m_pressStoppedFling = m_scrolling;
    // Pressed before the stop, so that the scroll bar stays while the finger holds the content.
    m_pressed = true;
    m_moved = false;
    StopScroll();
    m_tracker.Reset();
    m_tracker.SetLButtonDown(x, y);
}

void UiScroller::OnLButtonDown(UINT flags, int x, int y) {
    Press(x, y);
    UiWin::OnLButtonDown(flags, x, y);
}

void UiScroller::OnLButtonDblClk(UINT flags, int x, int y) {
    Press(x, y);
    UiWin::OnLButtonDblClk(flags, x, y);
}

void UiScroller::OnMouseMove(UINT flags, int x, int y) {
    m_tracker.UpdatePosition(x, y);
    if (m_pressed && MayScroll()) {
        m_previousMoveTick = m_moveTick;
        m_moveTick = GetTickCount();
        // While the drag may still turn out to be a sideways slide the content stays put.
        if (!(m_slideDetection && m_slideTracking)) {
            if (!m_scrolling) {
                m_scrolling = true;
                SetScrollBarShown(true);
            }
            ScrollBy(static_cast<int>(m_tracker.GetLastStepY()));
        }
    }
    UiWin::OnMouseMove(flags, x, y);
}

void UiScroller::OnLButtonUp(UINT flags, int x, int y) {
    UiWin::OnLButtonUp(flags, x, y);
    m_tracker.SetLButtonUp(x, y);
    if ((m_slideDetection && m_slideTracking) || !m_scrollable) {
        StartFling(0); // no flick, but content pulled past an end still springs back
        Invalidate();
        Update();
        return;
    }
    if (m_scrollMode == 0 || GetContentHeight() > ViewHeight()) {
        int speed = static_cast<int>(m_tracker.GetSpeedY());
        StartFling(speed);
        if (speed == 0) {
            Invalidate();
            Update();
        }
        return;
    }
    // Content that fits its view does not fling, but may have been pulled past its start.
    StartFling(0);
}

LRESULT UiScroller::OnTimer(UINT_PTR timerId) {
    if (timerId != TimerId())
        return 0;
    // A tick queued before the fling was stopped finds the motion at rest.
    if (m_motion.IsIdle())
        return 1;
    m_motion.Step();
    SetTopPos(static_cast<int>(m_headerOffset + m_motion.Position()));
    if (m_motion.IsIdle())
        StopScroll();
    return 1;
}

void UiScroller::SetTopPos(int position) {
    DWORD start = GetTickCount();
    if (position == m_topPos)
        return;
    int move = position - m_topPos;
    bool optimised = m_optimisedScroll && std::abs(move) < ViewHeight() &&
                     ScrollPixels(*this, ScrollingRect(), move, [this, move] { MoveContent(move); });
    if (!optimised) {
        MoveContent(move);
        Invalidate();
        Update();
    }
    if (GetDebugZones() & ZoneScrollTiming)
        NKDbgPrintfW(optimised ? m_trace.optimised : m_trace.full, move, GetTickCount() - start);
}

void UiScroller::ScrollTo(int target, bool animated) {
    if (m_scrolling)
        StopScroll(); // a running fling would carry the content away from the target
    target = std::clamp(target, EndTop(), StartTop());
    if (!animated)
        SetTopPos(target);
    while (m_topPos != target) {
        int step = (target - m_topPos) / 3;
        if (step == 0)
            step = target > m_topPos ? 1 : -1;
        SetTopPos(m_topPos + step);
    }
    Invalidate();
    Update();
}

void UiScroller::StopScroll() {
    if (HWND host = GetHostWindow())
        KillTimer(host, TimerId());
    m_motion = ScrollMotion{};
    bool wasScrolling = m_scrolling;
    m_scrolling = false;
    // A bar left shown by a press that stopped a fling fades once the finger is up, too.
    if (GetWinManager() && !m_pressed && (wasScrolling || m_scrollBarShown))
        AnimateScrollBar();
    Invalidate();
    Update();
    UiWin::StopScroll();
}

void UiScroller::StartFling(int speed) {
    m_motion.Start(ViewHeight(), GetContentHeight(), m_topPos - m_headerOffset, FlingDeceleration, speed, 1.0);
    if (m_motion.IsIdle()) {
        StopScroll();
        return;
    }
    m_scrolling = true;
    SetScrollBarShown(true);
    if (HWND host = GetHostWindow()) {
        SetTimer(host, TimerId(), TickMilliseconds, nullptr);
        PostMessageW(host, WM_FT_SCROLL_STARTED, m_id, 0);
    }
}

void UiScroller::SetHeaderOffset(int pixels) {
    if (pixels == m_headerOffset)
        return;
    int move = pixels - m_headerOffset;
    m_headerOffset = pixels;
    MoveContent(move);
    Invalidate();
}

RECT UiScroller::ScrollingRect() const {
    RECT rect = WindowRect();
    rect.top = std::min(rect.bottom, rect.top + m_headerOffset);
    if (m_clipInset)
        InflateRect(&rect, -m_inset, -m_inset);
    return rect;
}

int UiScroller::EndTop() const { return m_headerOffset + std::min(0, ViewHeight() - GetContentHeight()); }

void UiScroller::KeepTopInRange() {
    // A glide computed for the old content would carry the top past the new end.
    if (m_scrolling)
        StopScroll();
    int top = std::clamp(m_topPos, EndTop(), StartTop());
    if (top != m_topPos) {
        MoveContent(top - m_topPos);
        Invalidate();
    }
}
