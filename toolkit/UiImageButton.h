#pragma once
// A tool bar of up to ten image buttons side by side, each an image pair (normal and
// pressed) from a module's resources. One may be selected (drawn highlighted); a release
// on the button that was pressed posts the toolkit command with the button's index.

#include "toolkit/Image.h"
#include "toolkit/UiWin.h"

class UiImageButton : public UiWin {
public:
    static constexpr int MaximumButtons = 10;

    UiImageButton();
    // Null `pressed`: the normal image on the pressed look's darker cell. False when full.
    bool AddButton(ToolkitImage* normal, ToolkitImage* pressed = nullptr);
    int GetButtonCount() const { return m_count; }
    void SetSelected(int index);
    int GetSelected() const { return m_selected; }
    int GetPressedButton() const { return m_pressedButton; }
    // The button under x (control co-ordinates), −1 for none.
    int ButtonAt(int x, int y) const;

    void PaintWin(HDC dc, const RECT& rect) override;
    void OnLButtonDown(UINT flags, int x, int y) override;
    void OnLButtonUp(UINT flags, int x, int y) override;

private:
    struct Pair {
        ToolkitImage* normal;
        ToolkitImage* pressed;
    };
    Pair m_buttons[MaximumButtons]{};
    int m_count = 0;
    int m_selected = -1;
    int m_pressedButton = -1;
};
