#include "toolkit/CandidateBar.h"

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "platform/window/WindowApi.h"
#include "toolkit/ControlLook.h"
#include "toolkit/GdiGuards.h"
#include "toolkit/Theme.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int PreeditHeight = 18, PreeditSize = 15, CandidateSize = 22;
constexpr int CellPadding = 14;
// A finger that moved less than this chose; more, it slides the row.
constexpr int TapSlop = 8;

constexpr COLORREF BarColour = RGB(0xF4, 0xF5, 0xF7);
constexpr COLORREF LineColour = RGB(0xC6, 0xCB, 0xD2);
constexpr COLORREF PreeditColour = RGB(0x00, 0x73, 0xD7);
constexpr COLORREF FirstColour = RGB(0x00, 0x73, 0xD7);
constexpr COLORREF CandidateColour = RGB(0x1F, 0x23, 0x29);

HFONT CandidateFont() { return GetFont(CandidateSize, FW_NORMAL, false, false, FontUpright); }

} // namespace

void CandidateBar::Changed() {
    m_scroll = 0;
    m_laidOut = false;
    m_sliding = false;
    Invalidate();
    Update();
}

void CandidateBar::LayOut(HDC dc) {
    m_cells.clear();
    m_laidOut = true;
    if (!m_composer)
        return;
    SelectedObject font(dc, CandidateFont());
    int x = 0;
    for (const std::wstring& candidate : m_composer->Candidates()) {
        SIZE size{};
        GetTextExtentPoint32W(dc, candidate.c_str(), static_cast<int>(candidate.size()), &size);
        int width = std::max<int>(size.cx + 2 * CellPadding, 44);
        m_cells.push_back(RECT{x, PreeditHeight, x + width, m_height});
        x += width;
    }
}

std::vector<RECT> CandidateBar::CandidateCells() const {
    std::vector<RECT> cells = m_cells;
    for (RECT& cell : cells)
        OffsetRect(&cell, -m_scroll, 0);
    return cells;
}

void CandidateBar::PaintWin(HDC dc, const RECT& rect) {
    if (!m_laidOut)
        LayOut(dc);
    FillSolid(dc, rect, BarColour);
    FillSolid(dc, RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, LineColour);
    if (!m_composer)
        return;
    SetBkMode(dc, TRANSPARENT);
    if (!m_composer->Preedit().empty()) {
        SelectedObject font(dc, GetFont(PreeditSize, FW_NORMAL, false, false, FontUpright));
        SetTextColor(dc, PreeditColour);
        RECT line{rect.left + 10, rect.top, rect.right - 10, rect.top + PreeditHeight};
        DrawTextW(dc, m_composer->Preedit().c_str(), -1, &line, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectedObject font(dc, CandidateFont());
    const std::vector<std::wstring>& candidates = m_composer->Candidates();
    for (std::size_t i = 0; i < m_cells.size() && i < candidates.size(); ++i) {
        RECT cell = m_cells[i];
        OffsetRect(&cell, rect.left - m_scroll, rect.top);
        if (cell.right < rect.left || cell.left > rect.right)
            continue;
        SetTextColor(dc, i == 0 && m_composer->IsComposing() ? FirstColour : CandidateColour);
        DrawTextW(dc, candidates[i].c_str(), static_cast<int>(candidates[i].size()), &cell,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (i + 1 < m_cells.size())
            FillSolid(dc, RECT{cell.right - 1, cell.top + 8, cell.right, cell.bottom - 8}, LineColour);
    }
}

void CandidateBar::OnLButtonDown(UINT flags, int x, int y) {
    UiWin::OnLButtonDown(flags, x, y);
    m_downX = x;
    m_downScroll = m_scroll;
    m_sliding = false;
}

// Quick taps on the row arrive as a double click: each is a tap all the same.
void CandidateBar::OnLButtonDblClk(UINT flags, int x, int y) {
    UiWin::OnLButtonDblClk(flags, x, y);
    m_downX = x;
    m_downScroll = m_scroll;
    m_sliding = false;
}

void CandidateBar::OnMouseMove(UINT flags, int x, int y) {
    UiWin::OnMouseMove(flags, x, y);
    if (!m_pressed)
        return;
    if (!m_sliding && std::abs(x - m_downX) <= TapSlop)
        return;
    m_sliding = true;
    int most = std::max(0, ContentWidth() - m_width);
    int scroll = std::clamp(m_downScroll + (m_downX - x), 0, most);
    if (scroll != m_scroll) {
        m_scroll = scroll;
        Invalidate();
        Update();
    }
}

void CandidateBar::OnLButtonUp(UINT flags, int x, int y) {
    bool tap = m_pressed && !m_sliding && !m_cancelled;
    UiWin::OnLButtonUp(flags, x, y);
    m_sliding = false;
    if (!tap || y < PreeditHeight)
        return;
    int at = x + m_scroll;
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        if (at >= m_cells[i].left && at < m_cells[i].right) {
            if (m_choose)
                m_choose(i);
            return;
        }
    }
}
