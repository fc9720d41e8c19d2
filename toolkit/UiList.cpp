#include "toolkit/UiList.h"

#include "toolkit/GdiGuards.h"

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "toolkit/ControlLook.h"
#include "toolkit/Image.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"

#include <algorithm>
#include <cstdlib>

namespace {

// A finger that wanders less than this between press and release is still tapping.
constexpr int TapSlop = 10;
// The share of the selection band taken by its first gradient.
constexpr double FirstGradientShare = 0.18735474;

void HorizontalLine(HDC dc, const RECT& rect, int y, COLORREF colour) {
    FillSolid(dc, RECT{rect.left, y, rect.right, y + 1}, colour);
}

} // namespace

UiList::UiList()
    : UiScroller({L"UiList::SetTopPos (scroll optimized): Move(%d), TimeCost(%u)\n",
                  L"UiList::SetTopPos: Move(%d), TimeCost(%u)\n"}) {
    m_textColour = GetThemeColour(SYSCLR_LIST_TEXT);
    m_textFormat = DT_VCENTER | DT_SINGLELINE;
    m_vScrollBar = true;
}

int UiList::AddItem(const wchar_t* text, std::uintptr_t data) {
    m_items.push_back(UiListItem{ToolkitString(text), data});
    Invalidate();
    return static_cast<int>(m_items.size()) - 1;
}

void UiList::RemoveItem(int index) {
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return;
    m_items.erase(m_items.begin() + index);
    if (m_selected == index)
        m_selected = -1;
    else if (m_selected > index)
        --m_selected;
    KeepTopInRange();
    Invalidate();
}

void UiList::RemoveAll() {
    m_items.clear();
    m_selected = -1;
    KeepTopInRange();
    Invalidate();
}

const UiListItem* UiList::GetItem(int index) const {
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return nullptr;
    return &m_items[static_cast<std::size_t>(index)];
}

void UiList::SetSelectedIndex(int index) {
    if (index < -1 || index >= GetItemCount() || index == m_selected)
        return;
    m_selected = index;
    Invalidate();
}

void UiList::SetItemHeight(int height) {
    m_itemHeight = std::max(0, height);
    Invalidate();
}

int UiList::GetContentHeight() const {
    int count = GetItemCount();
    if (!m_variableHeight)
        return count * m_itemHeight;
    int total = 0;
    for (int index = 0; index < count; ++index)
        total += GetItemHeight(index);
    return total;
}

int UiList::GetItemPos(int index) const {
    if (!m_variableHeight || index <= 0)
        return m_topPos + index * m_itemHeight;
    int position = m_topPos;
    for (int before = 0; before < index; ++before)
        position += GetItemHeight(before);
    return position;
}

bool UiList::GetItemRect(int index, const RECT& viewRect, RECT* outRect) const {
    if (!outRect || index < 0 || index >= GetItemCount())
        return false;
    int top = viewRect.top + GetItemPos(index);
    int height = m_variableHeight ? GetItemHeight(index) : m_itemHeight;
    *outRect = RECT{viewRect.left, top, viewRect.right, top + height};
    return true;
}

int UiList::HitTestItem(int y) const {
    if (y < GetHeaderOffset() || y < m_topPos)
        return -1;
    int rowTop = 0;
    int index = FirstRowBelow(y, &rowTop);
    return index < GetItemCount() && y >= rowTop ? index : -1;
}

int UiList::FirstRowBelow(int y, int* rowTop) const {
    int count = GetItemCount();
    if (!m_variableHeight) {
        int index = (y <= m_topPos || m_itemHeight <= 0) ? 0 : (y - m_topPos) / m_itemHeight;
        index = std::min(index, count);
        *rowTop = m_topPos + index * m_itemHeight;
        return index;
    }
    int top = m_topPos, index = 0;
    for (; index < count; ++index) {
        int bottom = top + GetItemHeight(index);
        if (bottom > y)
            break;
        top = bottom;
    }
    *rowTop = top;
    return index;
}

void UiList::PaintWin(HDC dc, const RECT& rect) {
    RECT rows = rect;
    rows.top = std::min(rect.bottom, rect.top + GetHeaderOffset());
    RECT box{}, visible{};
    GetClipBox(dc, &box);
    if (!IntersectRect(&visible, &rows, &box))
        return;
    // Rows scrolled up under the header are not drawn over it.
    NarrowedClip clip(dc, visible);
    int count = GetItemCount();
    int rowTop = 0;
    for (int index = FirstRowBelow(visible.top - rect.top, &rowTop); index < count; ++index) {
        int height = m_variableHeight ? GetItemHeight(index) : m_itemHeight;
        RECT row{rect.left, rect.top + rowTop, rect.right, rect.top + rowTop + height};
        if (row.top >= visible.bottom)
            break;
        DrawItem(dc, index, row);
        rowTop += height;
    }
}

void UiList::DrawItem(HDC dc, int index, const RECT& rect) {
    if (m_drawSelection && index == m_selected)
        DrawSelection(dc, rect);
    else
        DrawSeparator(dc, rect);
    DrawItemText(dc, index, rect);
}

void UiList::DrawItemText(HDC dc, int index, const RECT& rect) const {
    const UiListItem* item = GetItem(index);
    if (!item)
        return;
    RECT text{rect.left + m_textLeft, rect.top, rect.right - m_textRight, rect.bottom};
    SelectedObject font(dc, TextFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, m_textColour);
    DrawTextW(dc, item->text.C_Str(), -1, &text, m_textFormat);
}

void UiList::DrawSelection(HDC dc, const RECT& rect) {
    if (rect.bottom - rect.top < 4)
        return;
    // The frame's bottom edge is the row's last pixel row: drawing one row never touches
    // its neighbour, so a row painted alone looks as it does in a full repaint.
    HorizontalLine(dc, rect, rect.top, 0xC3A34C);
    HorizontalLine(dc, rect, rect.top + 1, 0xFFF8C1);
    HorizontalLine(dc, rect, rect.bottom - 2, 0xFFFFDA);
    HorizontalLine(dc, rect, rect.bottom - 1, 0xC3A34C);
    RECT band{rect.left, rect.top + 2, rect.right, rect.bottom - 2};
    int split = band.top + static_cast<int>((band.bottom - band.top) * FirstGradientShare);
    FillVerticalGradient(dc, RECT{band.left, band.top, band.right, split},
                         GetThemeColour(SYSCLR_LIST_SELECTED_BG_GRADIENT1),
                         GetThemeColour(SYSCLR_LIST_SELECTED_BG_GRADIENT2));
    FillVerticalGradient(dc, RECT{band.left, split, band.right, band.bottom},
                         GetThemeColour(SYSCLR_LIST_SELECTED_BG_GRADIENT2),
                         GetThemeColour(SYSCLR_LIST_SELECTED_BG_GRADIENT3));
    DrawImage(LoadImage(GetResourceModule(), SelectionOverlayImage, ImageWithBitmap), dc, band, true, false);
}

void UiList::DrawSeparator(HDC dc, const RECT& rect) {
    if (rect.bottom > rect.top)
        HorizontalLine(dc, rect, rect.bottom - 1, GetThemeColour(SYSCLR_LIST_GRIDLINE2_COLOR1));
}

void UiList::OnLButtonUp(UINT flags, int x, int y) {
    bool tap = IsTap(x, y);
    UiScroller::OnLButtonUp(flags, x, y);
    int index = tap ? HitTestItem(y) : -1;
    if (index < 0)
        return;
    SetSelectedIndex(index);
    Update(); // the row shows as selected before whatever the click opens
    OnItemClick(index);
}

bool UiList::IsTap(int x, int y) const {
    if (!m_pressed || m_cancelled || PressStoppedFling())
        return false;
    POINT down = Tracker().DownPoint();
    if (std::abs(x - down.x) > TapSlop || std::abs(y - down.y) > TapSlop)
        return false;
    RECT inside = GetRect();
    return PtInRect(&inside, POINT{x, y}) != FALSE;
}

bool UiList::IsMoving() const { return IsScrolling() || PressStoppedFling() || (IsPressed() && IsMoved()); }

void UiList::Refresh() {
    Invalidate();
    Update();
}
