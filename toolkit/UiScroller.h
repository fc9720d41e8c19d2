#pragma once
// What UiList and UiScrollWin share: content that follows the finger, a flick that
// glides on in 10 ms timer ticks and springs back at the ends, and a top position that
// moves by reusing the pixels already shown (ScrollPainter.h).
//
// The top position is the content's vertical offset: the header offset at the start,
// smaller as the content is scrolled towards its end. The motion counts its offsets
// from the header offset.
//
// Controls belong to the thread of their host window; nothing here is locked.

#include "toolkit/MouseTracker.h"
#include "toolkit/ScrollMotion.h"
#include "toolkit/ToolkitMessages.h"
#include "toolkit/UiWin.h"

class UiScroller : public UiWin {
public:
    ~UiScroller() override;

    void OnLButtonDown(UINT flags, int x, int y) override;
    void OnLButtonDblClk(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    void OnLButtonUp(UINT flags, int x, int y) override;
    // Only the control's own timer, FtControlTimer + id, is taken.
    LRESULT OnTimer(UINT_PTR timerId) override;

    int GetTopPos() const override { return m_topPos; }
    int GetViewHeight() const override { return ViewHeight(); }
    int GetScrollOffset() const override { return m_topPos - m_headerOffset; }
    void SetTopPos(int position) override;
    void ScrollTo(int, int value, bool animated) override { ScrollTo(value, animated); }
    // To `target` clamped to the content; animated, in steps of a third of the way left.
    void ScrollTo(int target, bool animated);
    void StopScroll() override;
    void StartFling(int speed) override;

    // Pixels at the top that do not scroll.
    void SetHeaderOffset(int pixels);
    int GetHeaderOffset() const { return m_headerOffset; }
    // On by default: moves smaller than the view reuse the pixels on the screen.
    void SetOptimisedScroll(bool optimised) { m_optimisedScroll = optimised; }
    bool IsScrolling() const { return m_scrolling; }
    const ScrollMotion& Motion() const { return m_motion; }

protected:
    // The debug lines of SetTopPos, each taking the move and the milliseconds spent.
    struct TraceLines {
        const wchar_t* optimised;
        const wchar_t* full;
    };
    explicit UiScroller(TraceLines trace) : m_trace(trace) {}

    // Stores the new top position; UiScrollWin moves its children along.
    virtual void MoveContent(int move) { m_topPos += move; }
    // The part whose pixels move, in window co-ordinates: less the header and the clip inset.
    RECT ScrollingRect() const;
    int ViewHeight() const { return m_height - m_headerOffset; }
    // The top positions of the content's start and of its end.
    int StartTop() const { return m_headerOffset; }
    int EndTop() const;
    // A content that lost items may lie past its end now: it is put back at the end.
    void KeepTopInRange();
    // Whether the current press stopped a running fling (such a press is no tap).
    bool PressStoppedFling() const { return m_pressStoppedFling; }
    const CMouseTracker& Tracker() const { return m_tracker; }

private:
    void Press(int x, int y);
    UINT_PTR TimerId() const { return FtControlTimer + m_id; }

    CMouseTracker m_tracker;
    ScrollMotion m_motion;
    TraceLines m_trace;
    int m_headerOffset = 0;
    bool m_scrolling = false;
    bool m_optimisedScroll = true;
    bool m_pressStoppedFling = false;
    DWORD m_previousMoveTick = 0, m_moveTick = 0;
};
