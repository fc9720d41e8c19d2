#include "toolkit/UiImageButton.h"

#include "toolkit/ControlLook.h"
#include "toolkit/Theme.h"

UiImageButton::UiImageButton() { SetTextSize(30); }

bool UiImageButton::AddButton(ToolkitImage* normal, ToolkitImage* pressed) {
    if (m_count == MaximumButtons)
        return false;
    m_buttons[m_count++] = Pair{normal, pressed};
    Invalidate();
    return true;
}

void UiImageButton::SetSelected(int index) {
    m_selected = index >= 0 && index < m_count ? index : -1;
    Invalidate();
}

int UiImageButton::ButtonAt(int x, int y) const {
    if (m_count == 0 || x < 0 || x >= m_width || y < 0 || y >= m_height)
        return -1;
    return x * m_count / m_width;
}

void UiImageButton::PaintWin(HDC dc, const RECT& rect) {
    DrawToolBarBackground(dc, rect);
    for (int i = 0; i < m_count; ++i) {
        RECT cell{rect.left + (rect.right - rect.left) * i / m_count, rect.top + 1,
                  rect.left + (rect.right - rect.left) * (i + 1) / m_count, rect.bottom};
        bool pressed = i == m_pressedButton;
        if (pressed || i == m_selected)
            FillSolid(dc, cell, pressed ? ToolBarPressedColour : ToolBarSelectedColour);
        ToolkitImage* image = pressed && m_buttons[i].pressed ? m_buttons[i].pressed : m_buttons[i].normal;
        SIZE size = ImageSize(image);
        int x = (cell.left + cell.right - size.cx) / 2, y = (cell.top + cell.bottom - size.cy) / 2;
        DrawImage(image, dc, RECT{x, y, x + size.cx, y + size.cy}, false, false);
    }
}

void UiImageButton::OnLButtonDown(UINT flags, int x, int y) {
    UiWin::OnLButtonDown(flags, x, y);
    m_pressedButton = ButtonAt(x, y);
    if (m_pressedButton < 0)
        return;
    PlayKeySound();
    Invalidate();
    Update();
}

void UiImageButton::OnLButtonUp(UINT flags, int x, int y) {
    int pressed = m_pressedButton;
    m_pressedButton = -1;
    UiWin::OnLButtonUp(flags, x, y);
    if (pressed >= 0 && pressed == ButtonAt(x, y) && !m_cancelled) {
        m_selected = pressed;
        PostCommand(0, pressed);
    }
    Invalidate();
    Update();
}
