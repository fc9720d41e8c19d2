#include "toolkit/LetterStrip.h"

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "toolkit/Theme.h"

#include <algorithm>

namespace {

// The letters keep this margin from the strip's top and bottom.
constexpr int EndMargin = 6;
constexpr int SmallestHeight = 26;

} // namespace

LetterStrip::LetterStrip() {
    m_textSize = 18;
    m_textWeight = FW_BOLD;
    m_textColour = GetThemeColour(SYSCLR_LIST_TEXT2);
}

int LetterStrip::LetterIndexAt(int y, int height) {
    if (height < SmallestHeight)
        return -1;
    int index = static_cast<int>(static_cast<double>(y - EndMargin) * LetterCount / (height - 2 * EndMargin));
    return std::clamp(index, 0, LetterCount - 1);
}

std::wstring LetterStrip::GetLetter() const {
    if (m_index < 0)
        return std::wstring();
    return std::wstring(1, static_cast<wchar_t>(L'A' + m_index));
}

void LetterStrip::Choose(int y) {
    if (y < 0 || y >= m_height)
        return;
    int index = LetterIndexAt(y, m_height);
    if (index < 0 || index == m_index)
        return;
    m_index = index;
    Invalidate();
    Update();
    PostCommand(0, index);
}

void LetterStrip::OnLButtonDown(UINT flags, int x, int y) {
    UiWin::OnLButtonDown(flags, x, y);
    Choose(y);
    Invalidate(); // the pressed look
}

void LetterStrip::OnLButtonDblClk(UINT flags, int x, int y) {
    UiWin::OnLButtonDblClk(flags, x, y);
    Choose(y);
}

void LetterStrip::OnMouseMove(UINT flags, int x, int y) {
    UiWin::OnMouseMove(flags, x, y);
    Choose(y);
}

void LetterStrip::OnLButtonUp(UINT flags, int x, int y) {
    UiWin::OnLButtonUp(flags, x, y);
    Invalidate();
}

RECT LetterStrip::LetterCell(const RECT& strip, int index) const {
    int span = std::max(0, m_height - 2 * EndMargin);
    int top = strip.top + EndMargin + index * span / LetterCount;
    int bottom = strip.top + EndMargin + (index + 1) * span / LetterCount;
    return RECT{strip.left, top, strip.right, bottom};
}

void LetterStrip::PaintWin(HDC dc, const RECT& rect) {
    if (m_height < SmallestHeight)
        return;
    HGDIOBJ previous = SelectObject(dc, TextFont());
    SetBkMode(dc, TRANSPARENT);
    COLORREF chosen = GetThemeColour(SYSCLR_LIST_TEXT_HIGHLIGHT);
    for (int index = 0; index < LetterCount; ++index) {
        wchar_t letter[2] = {static_cast<wchar_t>(L'A' + index), L'\0'};
        RECT cell = LetterCell(rect, index);
        // While the finger is on the strip its letter stands out.
        SetTextColor(dc, m_pressed && index == m_index ? chosen : m_textColour);
        DrawTextW(dc, letter, 1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, previous);
}
