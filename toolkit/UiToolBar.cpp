#include "toolkit/UiToolBar.h"

#include "toolkit/ControlLook.h"
#include "toolkit/Theme.h"

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"

UiToolBar::UiToolBar() {
    SetTextColour(GetThemeColour(SYSCLR_TOOLBAR_TEXT));
    SetTextSize(26);
}

void UiToolBar::SetButtonText(int column, const wchar_t* text) {
    if (column < 0 || column >= Columns)
        return;
    m_buttons[column].text.Assign(text);
    Invalidate();
}

const wchar_t* UiToolBar::GetButtonText(int column) const {
    return column >= 0 && column < Columns ? m_buttons[column].text.C_Str() : L"";
}

void UiToolBar::SetButtonEnabled(int column, bool enabled) {
    if (column < 0 || column >= Columns)
        return;
    m_buttons[column].enabled = enabled;
    Invalidate();
}

bool UiToolBar::IsButtonEnabled(int column) const {
    return column >= 0 && column < Columns && m_buttons[column].enabled;
}

int UiToolBar::ColumnAt(int x, int y) const {
    if (y < 0 || y >= m_height)
        return -1;
    if (x < m_width / 3)
        return 0;
    return x > 2 * m_width / 3 ? 2 : 1;
}

void UiToolBar::PaintWin(HDC dc, const RECT& rect) {
    DrawToolBarBackground(dc, rect);
    HGDIOBJ previous = SelectObject(dc, TextFont());
    SetBkMode(dc, TRANSPARENT);
    for (int column = 0; column < Columns; ++column) {
        const Button& button = m_buttons[column];
        if (button.text.IsEmpty())
            continue;
        RECT cell{rect.left + (rect.right - rect.left) * column / Columns, rect.top + 1,
                  rect.left + (rect.right - rect.left) * (column + 1) / Columns, rect.bottom};
        if (column == m_pressedColumn)
            FillSolid(dc, cell, ToolBarPressedColour);
        SetTextColor(dc, button.enabled ? m_textColour : GetThemeColour(SYSCLR_TOOLBAR_TEXT_DISABLED));
        DrawTextW(dc, button.text.C_Str(), -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, previous);
}

void UiToolBar::OnLButtonDown(UINT flags, int x, int y) {
    UiWin::OnLButtonDown(flags, x, y);
    int column = ColumnAt(x, y);
    if (column < 0 || !m_buttons[column].enabled || m_buttons[column].text.IsEmpty())
        return;
    m_pressedColumn = column;
    PlayKeySound();
    Invalidate();
    Update();
}

void UiToolBar::OnLButtonUp(UINT flags, int x, int y) {
    int pressed = m_pressedColumn;
    m_pressedColumn = -1;
    UiWin::OnLButtonUp(flags, x, y);
    if (pressed >= 0 && pressed == ColumnAt(x, y) && !m_cancelled)
        PostCommand(0, pressed);
    Invalidate();
    Update();
}
