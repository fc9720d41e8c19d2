#pragma once
// The bar of three text buttons at the bottom of a window (left, middle, right). The
// column under the finger is the button; a release on the pressed, enabled button posts
// the toolkit command with the column (0, 1 or 2).

#include "toolkit/UiWin.h"

class UiToolBar : public UiWin {
public:
    static constexpr int Columns = 3;

    UiToolBar();
    void SetButtonText(int column, const wchar_t* text);
    const wchar_t* GetButtonText(int column) const;
    void SetButtonEnabled(int column, bool enabled);
    bool IsButtonEnabled(int column) const;
    bool IsButtonPressed(int column) const { return column >= 0 && column < Columns && m_pressedColumn == column; }
    // x < width / 3 → 0, x > 2 × width / 3 → 2, else 1; −1 when y lies outside.
    int ColumnAt(int x, int y) const;

    void PaintWin(HDC dc, const RECT& rect) override;
    void OnLButtonDown(UINT flags, int x, int y) override;
    void OnLButtonUp(UINT flags, int x, int y) override;

private:
    struct Button {
        ToolkitString text;
        bool enabled = true;
    };
    Button m_buttons[Columns];
    int m_pressedColumn = -1;
};
