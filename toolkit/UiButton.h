#pragma once
// Text buttons. A press shows the pressed look (a toggle button shows the state it would
// change to); a release inside posts the toolkit command with code 0 (5 after a double
// click) and the release point; a press inside a scrolling control loses its look as soon
// as the finger moves, and a drag handed over to that control posts nothing.

#include "toolkit/Image.h"
#include "toolkit/UiWin.h"

class UiButton : public UiWin {
public:
    // Kind 11 is a switch (its sound is the switch sound); kinds below 257 click.
    static constexpr int SwitchKind = 11;

    UiButton();
    void PaintWin(HDC dc, const RECT& rect) override;
    void OnLButtonDown(UINT flags, int x, int y) override;
    void OnLButtonDblClk(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    void OnLButtonUp(UINT flags, int x, int y) override;

    void SetKind(int kind) { m_kind = kind; }
    int GetKind() const { return m_kind; }
    void SetSound(bool sound) { m_sound = sound; }
    void SetToggle(bool toggle) { m_toggle = toggle; }
    void SetChecked(bool checked);
    bool IsChecked() const { return m_checked; }
    // Whether the button shows its pressed (or, toggling, its changed) look now.
    bool ShowsPressed() const { return m_lookPressed; }
    void SetPressedTextColour(COLORREF colour) { m_pressedTextColour = colour; }
    void SetShiftWhenPressed(bool shift) { m_shiftWhenPressed = shift; }

protected:
    // The checked state the button shows: during a toggle's press, the one it would become.
    bool ShownChecked() const { return m_toggle && m_lookPressed ? !m_checked : m_checked; }
    // The text's rectangle, moved by (2, 2) while pressed when asked to.
    RECT TextRect(const RECT& rect) const;
    COLORREF TextColourNow() const;
    void SetLook(bool pressed);

    int m_kind = 0;
    bool m_sound = true;
    bool m_toggle = false;
    bool m_checked = false;
    bool m_lookPressed = false;
    COLORREF m_pressedTextColour;
    bool m_shiftWhenPressed = false;

private:
    void Press();
};

// A main text and a second, smaller one under it.
class UiButtonEx : public UiButton {
public:
    UiButtonEx();
    void SetSecondText(const wchar_t* text);
    void PaintWin(HDC dc, const RECT& rect) override;

private:
    ToolkitString m_secondText;
};

// A button with two images (normal and checked) and its text beside them.
class UiIconButton : public UiButton {
public:
    enum class Order { ImageFirst, TextFirst };

    UiIconButton();
    void SetImages(ToolkitImage* normal, ToolkitImage* checked);
    void SetOrder(Order order) { m_order = order; }
    void SetLeftPadding(int padding) { m_leftPadding = padding; }
    void PaintWin(HDC dc, const RECT& rect) override;

private:
    ToolkitImage* m_normal = nullptr;
    ToolkitImage* m_checkedImage = nullptr;
    Order m_order = Order::ImageFirst;
    int m_leftPadding = 12;
};
