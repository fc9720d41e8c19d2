#pragma once
// A toolkit window hosting a tree of light-weight controls under one WinManager; every
// window of the program derives from it.

#include "toolkit/FtWnd.h"
#include "toolkit/WinManager.h"

class CFtHostWnd : public CFtWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSize(int width, int height) override { m_winManager.SetRect(RECT{0, 0, width, height}); }
    void PaintWin(HDC dc, const RECT& rect) override { m_winManager.PaintAll(dc, rect); }
    BOOL OnInitDialog() override;

    WinManager& GetWinManager() { return m_winManager; }

protected:
    // Gives the control its identifier and place and adds it to the window's controls.
    void AddControl(UiWin& control, UINT id, int x, int y, int width, int height) {
        control.SetID(id);
        control.SetPos(x, y, width, height);
        m_winManager.AddChild(&control);
    }

private:
    WinManager m_winManager;
};
