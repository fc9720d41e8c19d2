#include "toolkit/UiButton.h"

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "platform/window/WindowApi.h"
#include "toolkit/ControlLook.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"
#include "toolkit/ToolkitMessages.h"

namespace {

void DrawCentred(HDC dc, ToolkitImage* image, const RECT& rect) {
    SIZE size = ImageSize(image);
    int x = rect.left + (rect.right - rect.left - size.cx) / 2, y = rect.top + (rect.bottom - rect.top - size.cy) / 2;
    DrawImage(image, dc, RECT{x, y, x + size.cx, y + size.cy}, false, false);
}

} // namespace

UiButton::UiButton() : m_pressedTextColour(GetThemeColour(SYSCLR_BUTTON_TEXT)) {
    SetTextColour(GetThemeColour(SYSCLR_BUTTON_TEXT));
}

void UiButton::PaintWin(HDC dc, const RECT& rect) {
    if (m_kind == SwitchKind) {
        UINT image = ShownChecked() ? SwitchOnImage : SwitchOffImage;
        DrawCentred(dc, LoadImage(GetResourceModule(), image, ImageWithBitmap), rect);
        return;
    }
    ButtonLook look = LookOfKind(m_kind);
    RECT face{rect.left + 2, rect.top + 4, rect.right - 2, rect.bottom - 4};
    if (!look.flat) {
        COLORREF colour = m_enabled ? look.face : RGB(0xB4, 0xBB, 0xC3);
        if (m_lookPressed || ShownChecked())
            colour = Darker(colour, 18);
        FillRounded(dc, face, 10, colour, colour);
    } else if (m_lookPressed) {
        FillRounded(dc, face, 10, RGB(0xD6, 0xE4, 0xF2), RGB(0xD6, 0xE4, 0xF2));
    }
    DrawText(dc, TextRect(rect), TextColourNow());
}

RECT UiButton::TextRect(const RECT& rect) const {
    RECT text = rect;
    if (m_shiftWhenPressed && m_lookPressed)
        OffsetRect(&text, 2, 2);
    return text;
}

COLORREF UiButton::TextColourNow() const {
    if (!m_enabled)
        return GetThemeColour(SYSCLR_TOOLBAR_TEXT_DISABLED);
    return m_lookPressed ? m_pressedTextColour : m_textColour;
}

void UiButton::SetLook(bool pressed) {
    if (m_lookPressed == pressed)
        return;
    m_lookPressed = pressed;
    if (HWND host = GetHostWindow())
        SendMessageW(host, WM_FT_BUTTON_STATE, m_id, reinterpret_cast<LPARAM>(this));
}

void UiButton::SetChecked(bool checked) {
    if (m_checked == checked)
        return;
    m_checked = checked;
    if (HWND host = GetHostWindow())
        SendMessageW(host, WM_FT_BUTTON_STATE, m_id, reinterpret_cast<LPARAM>(this));
    Invalidate();
}

void UiButton::Press() {
    if (!m_enabled)
        return;
    if (m_sound) {
        if (m_kind == SwitchKind)
            PlaySwitchSound();
        else if (m_kind < 257)
            PlayKeySound();
    }
    SetLook(true);
    Invalidate();
    Update();
}

void UiButton::OnLButtonDown(UINT flags, int x, int y) {
    UiWin::OnLButtonDown(flags, x, y);
    Press();
}

void UiButton::OnLButtonDblClk(UINT flags, int x, int y) {
    UiWin::OnLButtonDblClk(flags, x, y);
    Press();
}

void UiButton::OnMouseMove(UINT flags, int x, int y) {
    // Inside a scrolling control a moving finger is a drag of the content, not a press.
    if (m_pressed && !m_moved && m_parent && m_parent->GetScrollContainer() && m_lookPressed) {
        SetLook(false);
        Invalidate();
    }
    UiWin::OnMouseMove(flags, x, y);
}

void UiButton::OnLButtonUp(UINT flags, int x, int y) {
    RECT inside = GetRect();
    bool clicked = PtInRect(&inside, POINT{x, y}) && !m_cancelled;
    // A toggle whose look a drag took away changes nothing and reports nothing.
    if (m_toggle && !m_lookPressed)
        clicked = false;
    UINT code = m_doubleClicked ? 5 : 0;
    bool changed = m_toggle && m_lookPressed && clicked;
    SetLook(false);
    if (changed)
        SetChecked(!m_checked);
    if (clicked)
        PostCommand(code, MAKELPARAM(x, y));
    UiWin::OnLButtonUp(flags, x, y);
    Invalidate();
    Update();
}

UiButtonEx::UiButtonEx() {
    SetTextColour(GetThemeColour(SYSCLR_BUTTONEX_TEXT));
    SetTextSize(27);
}

void UiButtonEx::SetSecondText(const wchar_t* text) {
    m_secondText.Assign(text);
    Invalidate();
}

void UiButtonEx::PaintWin(HDC dc, const RECT& rect) {
    if (m_lookPressed)
        FillRounded(dc, rect, 8, RGB(0xD6, 0xE4, 0xF2), RGB(0xD6, 0xE4, 0xF2));
    int middle = rect.top + (rect.bottom - rect.top) * 11 / 20;
    DrawText(dc, TextRect(RECT{rect.left + 20, rect.top, rect.right - 20, middle}), m_textColour);
    HGDIOBJ previous = SelectObject(dc, GetFont(23, 400, false, false, FontUpright));
    SetTextColor(dc, GetThemeColour(SYSCLR_BUTTONEX_TEXT2));
    RECT second = TextRect(RECT{rect.left + 20, middle, rect.right - 20, rect.bottom - 4});
    DrawTextW(dc, m_secondText.C_Str(), -1, &second, (m_textFormat & ~DT_VCENTER) | DT_TOP | DT_END_ELLIPSIS);
    SelectObject(dc, previous);
}

UiIconButton::UiIconButton() {
    SetTextColour(GetThemeColour(SYSCLR_WINDOW_TEXT));
    m_pressedTextColour = m_textColour;
}

void UiIconButton::SetImages(ToolkitImage* normal, ToolkitImage* checked) {
    m_normal = normal;
    m_checkedImage = checked;
    Invalidate();
}

void UiIconButton::PaintWin(HDC dc, const RECT& rect) {
    if (m_lookPressed)
        FillRounded(dc, rect, 10, RGB(0xD6, 0xE4, 0xF2), RGB(0xD6, 0xE4, 0xF2));
    ToolkitImage* image = ShownChecked() ? m_checkedImage : m_normal;
    SIZE size = ImageSize(image);
    int imageX = m_order == Order::ImageFirst ? rect.left + m_leftPadding : rect.right - m_leftPadding - size.cx;
    int imageY = rect.top + (rect.bottom - rect.top - size.cy) / 2;
    DrawImage(image, dc, RECT{imageX, imageY, imageX + size.cx, imageY + size.cy}, false, false);
    RECT text = rect;
    if (m_order == Order::ImageFirst)
        text.left = imageX + size.cx + m_leftPadding / 2;
    else
        text.right = imageX - m_leftPadding / 2, text.left += m_leftPadding;
    DrawText(dc, TextRect(text), TextColourNow());
}
