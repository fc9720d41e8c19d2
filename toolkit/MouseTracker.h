#pragma once
// The finger's last three positions during a drag, with the press and the release, from
// which the end of a drag is turned into a flick speed. The speed is the finger's last
// step in pixels (positive when the finger moves down), not divided by time: the
// scrolling controls feed it to their motion as pixels per 10 ms tick.
//
// Belongs to the control that owns it, on its window's thread.

#include "platform/base/Win32Types.h"

class CMouseTracker {
public:
    virtual ~CMouseTracker() = default;

    // All samples and both points back to zero.
    void Reset();

    // Each recording call has a twin taking the tick, so that time can be driven; the
    // plain ones take GetTickCount().
    void SetLButtonDown(int x, int y);
    void SetLButtonDown(int x, int y, DWORD tick);
    void UpdatePosition(int x, int y);
    void UpdatePosition(int x, int y, DWORD tick);
    void SetLButtonUp(int x, int y);
    void SetLButtonUp(int x, int y, DWORD tick);

    // Newest y minus the previous y.
    double GetLastStepY() const;
    // The flick speed at the release; 0 for a slow or stale drag.
    double GetSpeedY() const;

    POINT DownPoint() const { return POINT{m_down.x, m_down.y}; }

private:
    struct Sample {
        int x = 0, y = 0;
        DWORD tick = 0;
    };

    Sample m_newest, m_previous, m_beforeThat;
    Sample m_down, m_up;
};
