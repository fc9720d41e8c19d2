#include "toolkit/UiScrollWin.h"

#include <algorithm>

UiScrollWin::UiScrollWin()
    : UiScroller({L"UiScrollWin::SetTopPos (scroll optimized): Move(%d), TimeCost(%u)\n",
                  L"UiScrollWin::SetTopPos: Move(%d), TimeCost(%u)\n"}) {
    m_vScrollBar = true;
}

int UiScrollWin::GetContentHeight() const {
    if (m_contentHeight > 0)
        return m_contentHeight;
    // Children sit at their content position plus the scroll distance from the start.
    int scrolled = m_topPos - GetHeaderOffset();
    int lowest = 0;
    for (const UiWin* child : m_children) {
        if (child->IsVisible())
            lowest = std::max(lowest, child->GetY() + child->GetHeight() - scrolled);
    }
    return std::max(0, lowest - GetHeaderOffset());
}

void UiScrollWin::MoveContent(int move) {
    UiScroller::MoveContent(move);
    for (UiWin* child : m_children)
        child->SetPos(child->GetX(), child->GetY() + move, 0, 0, KeepSize);
}
