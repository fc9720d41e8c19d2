#pragma once
// A toolkit window: one native window whose messages become virtual operations,
// painted through a back buffer, able to run itself modally with a sliding entry and
// exit (DoModal). Every window of the program derives from it through CFtHostWnd.
//
// A window object and its native window belong to the thread that created them. The
// process-wide slots behind them (the registry of windows, the last mouse position,
// the shared quit flag) are guarded: message boxes and the wait and progress dialogs
// run their windows on threads of their own.

#include "platform/display/PaintApi.h"
#include "platform/window/WindowApi.h"
#include "toolkit/OffscreenBuffer.h"

class CFtWnd {
public:
    CFtWnd();
    virtual ~CFtWnd();
    CFtWnd(const CFtWnd&) = delete;
    CFtWnd& operator=(const CFtWnd&) = delete;

    virtual const wchar_t* GetFtClassName() const { return L"CFtWnd"; }
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnLButtonDblClk(UINT, int, int) {}
    virtual void OnLButtonDown(UINT, int, int) {}
    virtual void OnLButtonUp(UINT, int, int) {}
    virtual void OnMouseMove(UINT, int, int) {}
    virtual void OnTimer(UINT_PTR) {}
    virtual void OnSize(int, int) {}
    virtual void OnSettingChange(WPARAM, LPARAM) {}
    virtual bool RegisterFtClass();
    virtual bool Create(int x, int y, int width, int height, HWND parent, HMENU menuOrId, DWORD style, DWORD exStyle);
    virtual int DoModal();
    virtual void OnPaint(HDC dc, const PAINTSTRUCT& paint);
    virtual void PaintWin(HDC, const RECT&) {}
    virtual void AdjustStyle();
    virtual void OnFtCommand(WPARAM, LPARAM) {}
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnCommand(UINT, UINT, LPARAM) {}
    // What a home-key click does: below 0 nothing; 0 or 1 quit; 2 and 3 answer the shell
    // (3 also lets the back buffer go); above 3 nothing.
    virtual int OnShellHomeKey(UINT, WPARAM, LPARAM) { return m_homeKeyAnswer; }

    void EndModal(int result);
    void SetAnimateIn(int kind) { m_animateIn = kind; }
    void SetAnimateOut(int kind) { m_animateOut = kind; }
    void SetBackgroundColour(COLORREF colour) { m_background = colour; }
    void SetHomeKeyAnswer(int value) { m_homeKeyAnswer = value; }
    void SetFillBackground(bool fill) { m_fillBackground = fill; }
    void Show(bool visible, bool activate);
    void Invalidate(const RECT* rect, bool erase);
    void Update();
    void SetText(const wchar_t* text);
    void Post(UINT message, WPARAM wParam, LPARAM lParam);
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    POINT GetPosInParent() const;
    int GetWidth() const;
    int GetHeight() const;
    void Destroy();
    HWND GetHwnd() const { return m_hWnd; }
    bool IsModalRunning() const { return m_flags & ModalRunning; }
    const OffscreenBuffer& BackBuffer() const { return m_backBuffer; }
    COLORREF BackgroundColour() const { return m_background; }
    bool FillsBackground() const { return m_fillBackground; }

    static CFtWnd* FindWnd(HWND window);
    static RECT GetWorkArea();

protected:
    HWND m_hWnd = nullptr;
    WNDPROC m_previousProcedure = nullptr;

private:
    static constexpr DWORD InsideDoModal = 0x08;
    static constexpr DWORD ModalRunning = 0x10;

    void BroadcastActivation(HWND window, WPARAM wParam, LPARAM lParam);
    void AnswerHomeKey(WPARAM wParam, LPARAM shell);

    COLORREF m_foreground;
    COLORREF m_background;
    int m_homeKeyAnswer = 0;
    DWORD m_flags = 0;
    int m_modalResult = 0;
    bool m_fillBackground = true;
    int m_animateIn = 0;
    int m_animateOut = 0;
    OffscreenBuffer m_backBuffer;
};

// The one window procedure of every toolkit window class.
LRESULT FtWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The quit flag every toolkit message loop tests: set by a quit message in any of them.
bool ToolkitQuitting();
void SetToolkitQuitting(bool quitting);
// The message record the loops of the calling thread fill.
MSG& ToolkitMessageRecord();
// Forgets every window of the registry (the application's end).
void ReleaseWindowRegistry();
