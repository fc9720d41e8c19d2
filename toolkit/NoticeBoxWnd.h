#pragma once
// The notice box: a text on a dark panel over what the screen showed before, that closes
// itself after its time (timer 0x10000304 from the moment it is shown). Modal on the
// calling thread; always ends with 1.

#include "toolkit/FtHostWnd.h"
#include "toolkit/PanelPainter.h"

#include <string>

class NoticeBoxWnd : public CFtHostWnd {
public:
    static constexpr UINT_PTR CloseTimer = 0x10000304;

    // `panel`: x, y, width, height of the panel; each 0 takes the default (428 × 280,
    // centred).
    NoticeBoxWnd(std::wstring text, DWORD milliseconds, RECT panel = RECT{});

    const wchar_t* GetFtClassName() const override { return L"FtNoticeBox"; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR timerId) override;
    void PaintWin(HDC dc, const RECT& rect) override;

    RECT PanelRect() const;

private:
    std::wstring m_text;
    DWORD m_milliseconds;
    RECT m_panel; // as given: left = x, top = y, right = width, bottom = height
    ScreenSnapshot m_snapshot;
};

// Builds and shows a notice full screen over `parent` for `milliseconds`; 1, also when
// the notice cannot be made.
int ShowNoticeBox(HWND parent, const std::wstring& text, DWORD milliseconds, RECT panel = RECT{});
