#pragma once
// The root of a host window's control tree. It is offered every message of the window
// first: it finds the control under the finger, keeps the mouse capture and the keyboard
// focus, runs the press-and-hold timer, hands a drag that began on a control over to the
// scrolling control around it, and reports to the window as toolkit messages.

#include "toolkit/ToolkitMessages.h"
#include "toolkit/UiWin.h"

class WinManager : public UiWin {
public:
    WinManager();
    ~WinManager() override;

    void SetRect(const RECT& rect) { SetPos(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top); }
    void Bind(HWND host) { m_host = host; }
    HWND GetBoundWindow() const { return m_host; }
    WinManager* GetWinManager() override { return this; }

    // Offered every message of the host window before the window's own handling.
    void RouteMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Paints the control tree into `dc` (the window's back buffer), clipped to `rect`.
    virtual void PaintAll(HDC dc, const RECT& rect);
    // Null control: the whole window.
    virtual void InvalidateControl(UiWin* control, const RECT* rect);
    virtual void UpdateHost();
    // The host window was deactivated (the focus is remembered and cleared) or activated
    // again (the remembered focus comes back).
    void OnActivate(bool active);

    virtual void OnWMLButtonDblClk(UINT flags, int x, int y);
    virtual void OnWMLButtonDown(UINT flags, int x, int y);
    virtual void OnWMLButtonUp(UINT flags, int x, int y);
    virtual void OnWMMouseMove(UINT flags, int x, int y);
    virtual void OnWMTimer(UINT_PTR timerId);

    // The topmost enabled-or-disabled visible control at (x, y) in `control`'s parent's
    // co-ordinates, skipping mouse-transparent children; null when outside.
    static UiWin* HitTest(UiWin* control, int x, int y);

    void SetCapture(UiWin* control);
    void ReleaseCapture();
    UiWin* GetCapture() const { return m_capture; }
    void SetFocusControl(UiWin* control);
    UiWin* GetFocusControl() const { return m_focus; }
    UiWin* GetRememberedFocus() const { return m_rememberedFocus; }
    void RememberFocus(UiWin* control) { m_rememberedFocus = control; }
    void ForgetRememberedFocus() { m_rememberedFocus = nullptr; }
    // A control that also receives the next button-up (once).
    void SetSecondButtonUp(UiWin* control) { m_secondUp = control; }
    // A control going away: every reference to it and to the controls below it is dropped.
    void Forget(UiWin* control);
    // A control being hidden: the finger lets go of it and of the controls below it (no
    // pressed look stays, no hold fires).
    void LetGoInside(UiWin* control);
    // Reports a mouse event of `control` at `point` (control co-ordinates) to the window.
    void NotifyMouse(UiWin* control, int event, POINT point);
    POINT LastPosition() const { return m_last; }

private:
    LRESULT ToFocus(UINT message, WPARAM wParam, LPARAM lParam);
    void PressAt(UINT flags, int x, int y, bool doubleClick);
    void StartHold(UiWin* target, POINT local);
    // On the first move after a press: is the drag horizontal (a slide) or not?
    void DecideSlide(UiWin* target, POINT local);
    // Any timer but the hold timer goes to every control, depth first.
    void TimerToTree(UiWin* control, UINT_PTR timerId);
    // Sends the host a button-down at the previous position and a move to the new one,
    // so that the scroll container under them takes the drag over.
    void ReplayDrag(POINT previous, int x, int y);

    HWND m_host = nullptr;
    UiWin* m_capture = nullptr;
    UiWin* m_focus = nullptr;
    UiWin* m_rememberedFocus = nullptr;
    UiWin* m_hold = nullptr;
    UiWin* m_pending = nullptr; // a disabled control that was pressed
    UiWin* m_secondUp = nullptr;
    POINT m_last{-1, -1};
    POINT m_previous{-1, -1}; // the position before the last move
    bool m_buttonDown = false, m_doubleClick = false, m_movedMark = false;
};

// The three packings of a position: the message that carries it and its lParam.
struct PackedPosition {
    UINT message;
    LPARAM lParam;
};
PackedPosition PackMousePosition(int x, int y);
