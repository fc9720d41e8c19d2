#pragma once
// The option menu: a column of large buttons standing at the bottom of the screen, the
// first item lowest, over a copy of what the screen showed before. The caller adds the
// items and runs the menu; the run ends with the id of the item tapped, or with 0 when
// a device event (a call, the lock screen, shut-down, the music application) closes a
// menu wider than 480 pixels.
//
// A menu and its window belong to the thread that runs it; nothing here is locked.

#include "toolkit/FtHostWnd.h"
#include "toolkit/PanelPainter.h"
#include "toolkit/ToolkitString.h"
#include "toolkit/UiButton.h"

#include <memory>
#include <vector>

class OptionMenu : public CFtHostWnd {
public:
    // Asks for the layout of a turned screen, made on the next paint.
    static constexpr UINT TurnMessage = 0xFFF0000D;
    static constexpr int ItemHeight = 95;

    OptionMenu() = default;
    ~OptionMenu() override;

    const wchar_t* GetFtClassName() const override { return L"OptionMenu"; }

    // `kind` selects the button's look and sound (see UiButton).
    void AddItem(const wchar_t* text, UINT id, int kind);
    // A band of text above the items; none when empty.
    void SetTitle(const wchar_t* title) { m_title.Assign(title); }

    // Creates the menu over `area` (screen co-ordinates) as a pop-up, runs it and destroys its window again: the id of
    // the item tapped; 0 when a device event closed it or when it could not be created.
    int Run(HWND parent, const RECT& area);

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint(HDC dc, const PAINTSTRUCT& paint) override;
    void PaintWin(HDC dc, const RECT& rect) override;
    void OnFtCommand(WPARAM wParam, LPARAM lParam) override;

private:
    struct Item {
        ToolkitString text;
        UINT id;
        int kind;
    };

    void PlaceButtons();
    // Moves the window to the bottom of the (turned) screen and places the buttons anew.
    void Turn();
    int ButtonsTop() const;
    RECT TitleBand() const;
    RECT PanelRect() const;
    // The panel (and the title band) behind the buttons where they are now.
    void DrawBackground(HDC dc) const;

    std::vector<Item> m_items;
    std::vector<std::unique_ptr<UiButton>> m_buttons;
    ToolkitString m_title;
    ScreenSnapshot m_background;
    bool m_turnPending = false;
    bool m_turned = false;
};
