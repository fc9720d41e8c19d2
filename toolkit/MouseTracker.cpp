#include "toolkit/MouseTracker.h"

#include "platform/base/DebugOutput.h"
#include "platform/base/Time.h"
#include "toolkit/Theme.h"

#include <cstdlib>

namespace {

bool MouseZone() { return (GetDebugZones() & ZoneMouse) != 0; }

// A release this long after the last move means the finger stopped before lifting.
constexpr DWORD StaleReleaseMilliseconds = 160;
// Two steps that together move no further than this are a tap or a slow drag, no flick.
constexpr double SlowDragPixels = 10.0;
constexpr double MaximumSpeed = 300.0;

} // namespace

void CMouseTracker::Reset() { m_newest = m_previous = m_beforeThat = m_down = m_up = Sample{}; }

void CMouseTracker::SetLButtonDown(int x, int y) { SetLButtonDown(x, y, GetTickCount()); }

void CMouseTracker::SetLButtonDown(int x, int y, DWORD tick) {
    m_newest = m_previous = m_beforeThat = m_down = Sample{x, y, tick};
    if (MouseZone())
        NKDbgPrintfW(L"CMouseTracker::SetLButtonDown: x(%d), y(%d), tick(%u)\n", x, y, tick);
}

void CMouseTracker::UpdatePosition(int x, int y) { UpdatePosition(x, y, GetTickCount()); }

void CMouseTracker::UpdatePosition(int x, int y, DWORD tick) {
    m_beforeThat = m_previous;
    m_previous = m_newest;
    m_newest = Sample{x, y, tick};
    if (MouseZone())
        NKDbgPrintfW(L"CMouseTracker::UpdatePosition: x(%d), y(%d), tick(%u)\n", x, y, tick);
}

void CMouseTracker::SetLButtonUp(int x, int y) { SetLButtonUp(x, y, GetTickCount()); }

void CMouseTracker::SetLButtonUp(int x, int y, DWORD tick) {
    m_up = Sample{x, y, tick};
    if (MouseZone())
        NKDbgPrintfW(L"CMouseTracker::SetLButtonUp: x(%d), y(%d), tick(%u)\n", x, y, tick);
}

double CMouseTracker::GetLastStepY() const { return static_cast<double>(m_newest.y - m_previous.y); }

double CMouseTracker::GetSpeedY() const {
    bool traced = MouseZone();
    double dDistMove = static_cast<double>(m_newest.y - m_previous.y);
    double dDistMove1 = static_cast<double>(m_previous.y - m_beforeThat.y);
    if (std::abs(static_cast<int>(dDistMove1 + dDistMove)) <= SlowDragPixels) {
        if (traced)
            NKDbgPrintfW(L"CMouseTracker::GetSpeedY: abs(dDistMove1+dDistMove)<=1.0f\n");
        return 0.0;
    }
    // Unsigned on purpose: the tick counter may wrap between the last move and the release.
    DWORD sinceLastMove = m_up.tick - m_newest.tick;
    if (sinceLastMove > StaleReleaseMilliseconds) {
        if (traced)
            NKDbgPrintfW(L"CMouseTracker::GetSpeedY: dwRefUp>260\n");
        return 0.0;
    }
    if (dDistMove == 0.0) {
        // The last report repeated the position: the step before it carries the flick.
        if (traced)
            NKDbgPrintfW(L"CMouseTracker::GetSpeedY: dDist==0.0f\n");
        dDistMove = dDistMove * 0.5 + dDistMove1;
    }
    double dSpeed = std::abs(static_cast<int>(dDistMove)) <= 1.0 ? 0.0 : dDistMove;
    if (dSpeed > MaximumSpeed)
        return MaximumSpeed;
    if (dSpeed < -MaximumSpeed)
        return -MaximumSpeed;
    if (traced)
        NKDbgPrintfW(L"CMouseTracker::GetSpeedY: return dSpeed=%d\n", static_cast<int>(dSpeed));
    return dSpeed;
}
