#pragma once
// Finger scrolling of the browser view, whose page shows no scroll bars: the page
// follows the finger step by step, and after the finger lifts it runs on with the last
// step's speed, slowing by DecayFactor every MomentumPeriod milliseconds until it
// stops. It watches every message of the user-interface thread's main loop (the
// application's PreTranslateMessage) and never consumes one; only while the target's
// page is ready does a touch count.

#include "toolkit/MouseTracker.h"

#include "platform/window/WindowTypes.h"

class FingerScroll {
public:
    // What is scrolled: the browser view.
    class Target {
    public:
        virtual bool PageReady() const = 0;
        // The window that owns the momentum timer and whose lowest ToolbarHeight
        // pixels are its toolbar.
        virtual HWND ScrollWindow() const = 0;
        virtual void ScrollPage(int dy) = 0;

    protected:
        ~Target() = default;
    };

    static constexpr UINT_PTR MomentumTimer = 2324;
    static constexpr UINT MomentumPeriod = 25;
    static constexpr double DecayFactor = 0.95;
    static constexpr int ToolbarHeight = 65;

    explicit FingerScroll(Target& target) : m_target(target) {}

    // A message of the main loop, before it is dispatched.
    void See(const MSG& message);
    // A tick of the momentum timer (the target's window forwards it).
    void MomentumStep();

    bool Dragging() const { return m_dragging != 0; }
    int Speed() const { return m_speed; }
    UINT_PTR TimerId() const { return m_timerId; }

private:
    void FingerDown(int x, int y);
    void FingerMoved(int x, int y);
    void FingerUp();
    void StopMomentum();

    Target& m_target;
    // Only the user-interface thread touches these.
    BOOL m_fingerDown = 0;
    int m_speed = 0;
    UINT_PTR m_timerId = 0;
    CMouseTracker m_tracker;
    BOOL m_dragging = 0;
};
