#pragma once
// A scrolling container: its content is its child controls, which the top position
// moves together; they follow the finger, fling and spring back as a list's rows do
// (UiScroller.h). A child placed while the content is scrolled is taken to be where it
// is now, that is, at its position plus the current top position's distance from the
// start.
//
// Controls belong to the thread of their host window; nothing here is locked.

#include "toolkit/UiScroller.h"

class UiScrollWin : public UiScroller {
public:
    UiScrollWin();

    bool IsScrollContainer() const override { return true; }
    // The set content height, else down to the lowest visible child's bottom.
    int GetContentHeight() const override;
    // 0: measured from the children.
    void SetContentHeight(int height) { m_contentHeight = height; }

protected:
    void MoveContent(int move) override;

private:
    int m_contentHeight = 0;
};
