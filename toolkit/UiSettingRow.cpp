#include "toolkit/UiSettingRow.h"

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "toolkit/ControlLook.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"

UiSettingRow::UiSettingRow() {
    SetKind(256); // clicks like a key, drawn as a row
    SetTextColour(GetThemeColour(SYSCLR_LIST_TEXT));
    m_pressedTextColour = m_textColour;
    SetTextSize(26);
    SetTextFormat(DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    m_switch.SetKind(SwitchKind);
    m_switch.SetToggle(true);
}

void UiSettingRow::SetValue(const wchar_t* value) {
    m_value.Assign(value);
    Invalidate();
}

void UiSettingRow::SetArrow(bool arrow) {
    m_arrow = arrow;
    Invalidate();
}

void UiSettingRow::AddSwitch(UINT id, bool on) {
    m_hasSwitch = true;
    m_switch.SetID(id);
    m_switch.SetChecked(on);
    m_switch.SetPos(SwitchX, (m_height - SwitchHeight) / 2, SwitchWidth, SwitchHeight);
    AddChild(&m_switch);
}

void UiSettingRow::SetPos(int x, int y, int width, int height, UINT flags) {
    UiButton::SetPos(x, y, width, height, flags);
    m_switch.SetPos(SwitchX, (m_height - SwitchHeight) / 2, SwitchWidth, SwitchHeight);
}

int UiSettingRow::LabelWidth(HDC dc) const {
    HGDIOBJ previous = SelectObject(dc, TextFont());
    SIZE size{};
    GetTextExtentExPointW(dc, m_text.C_Str(), static_cast<int>(m_text.Length()), 0, nullptr, nullptr, &size);
    SelectObject(dc, previous);
    return static_cast<int>(size.cx);
}

void UiSettingRow::PaintWin(HDC dc, const RECT& rect) {
    FillSolid(dc, rect, m_lookPressed && !m_hasSwitch ? RGB(0xDC, 0xE8, 0xF4) : RGB(0xFF, 0xFF, 0xFF));
    FillSolid(dc, RECT{rect.left + 20, rect.bottom - 1, rect.right, rect.bottom},
              GetThemeColour(SYSCLR_LIST_GRIDLINE2_COLOR1));
    int right = rect.right - 20;
    if (m_arrow) {
        ToolkitImage* arrow = LoadImage(GetResourceModule(), ArrowImage, ImageWithBitmap);
        SIZE size = ImageSize(arrow);
        int y = rect.top + (rect.bottom - rect.top - size.cy) / 2;
        DrawImage(arrow, dc, RECT{right - size.cx, y, right, y + size.cy}, false, false);
        right -= size.cx + 8;
    }
    int labelRight = m_hasSwitch ? rect.left + SwitchX - 10 : rect.left + 25 + LabelWidth(dc) + 16;
    DrawText(dc, RECT{rect.left + 25, rect.top, labelRight, rect.bottom}, m_textColour);
    if (m_hasSwitch || m_value.IsEmpty())
        return;
    HGDIOBJ previous = SelectObject(dc, GetFont(22, 400, false, false, FontUpright));
    SetTextColor(dc, GetThemeColour(SYSCLR_LIST_TEXT3));
    SetBkMode(dc, TRANSPARENT);
    RECT value{labelRight, rect.top, right, rect.bottom};
    DrawTextW(dc, m_value.C_Str(), -1, &value, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    SelectObject(dc, previous);
}

void UiSettingRow::OnLButtonUp(UINT flags, int x, int y) {
    if (!m_hasSwitch) {
        UiButton::OnLButtonUp(flags, x, y);
        return;
    }
    // A row with a switch is no button: only its look is released.
    SetLook(false);
    UiWin::OnLButtonUp(flags, x, y);
    Invalidate();
}
