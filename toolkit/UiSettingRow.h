#pragma once
// A row of the settings and network windows: a label on the left and either a value text
// with an arrow ("more behind this row", the row itself is the button) or a switch, a
// toggle button of its own id at x 350, 110 × 70.

#include "toolkit/UiButton.h"

class UiSettingRow : public UiButton {
public:
    static constexpr int SwitchX = 350, SwitchWidth = 110, SwitchHeight = 70;

    UiSettingRow();
    void SetLabel(const wchar_t* label) { SetText(label); }
    void SetValue(const wchar_t* value);
    const wchar_t* GetValue() const { return m_value.C_Str(); }
    void SetArrow(bool arrow);
    // Gives the row a switch with this id (the row then posts nothing itself).
    void AddSwitch(UINT id, bool on);
    UiButton* GetSwitch() { return m_hasSwitch ? &m_switch : nullptr; }

    void PaintWin(HDC dc, const RECT& rect) override;
    void OnLButtonUp(UINT flags, int x, int y) override;
    void SetPos(int x, int y, int width, int height, UINT flags = 0) override;

private:
    int LabelWidth(HDC dc) const;

    ToolkitString m_value;
    bool m_arrow = false;
    bool m_hasSwitch = false;
    UiButton m_switch;
};
