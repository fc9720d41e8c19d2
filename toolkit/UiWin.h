#pragma once
// A light-weight control inside a host window: no native window of its own, a rectangle
// relative to its parent, children painted above it in order. The tree's root is the host
// window's WinManager, which feeds the controls their input (see WinManager.h).
//
// Controls belong to the thread of their host window; nothing here is locked.

#include "platform/gdi/GdiTypes.h"
#include "platform/window/WindowTypes.h"
#include "toolkit/ToolkitString.h"

#include <vector>

class WinManager;

class UiWin {
public:
    UiWin();
    virtual ~UiWin();
    UiWin(const UiWin&) = delete;
    UiWin& operator=(const UiWin&) = delete;

    // Paints this control and its subtree; `clip` is in window co-ordinates.
    virtual void PaintTree(HDC dc, const RECT& clip);
    // Draws the control's own content; `rect` is its rectangle in window co-ordinates.
    virtual void PaintWin(HDC, const RECT&) {}
    // Null: the whole control.
    virtual void Invalidate(const RECT* rect = nullptr);
    virtual void Update();
    virtual void PostDeferred(UiWin* control, LPARAM argument);
    virtual void OnDeferred(LPARAM) {}

    virtual void OnLButtonDblClk(UINT flags, int x, int y);
    virtual void OnLButtonDown(UINT flags, int x, int y);
    virtual void OnLButtonUp(UINT flags, int x, int y);
    virtual void OnMouseMove(UINT, int, int) { m_moved = true; }
    // The finger's press ended without a release here: the control was hidden or
    // disabled under it.
    virtual void OnPressLost() {}
    virtual LRESULT OnTimer(UINT_PTR) { return 0; }

    // True asks for the focus; false on the focus control gives it up.
    virtual void SetFocus(bool focus);
    virtual void OnSetFocus(UiWin*) {}
    virtual void OnKillFocus(UiWin*) {}
    virtual LRESULT OnKeyDown(WPARAM, LPARAM) { return 0; }
    virtual LRESULT OnKeyUp(WPARAM, LPARAM) { return 0; }
    virtual LRESULT OnChar(WPARAM, LPARAM) { return 0; }
    virtual LRESULT OnImeComposition(LPARAM) { return 0; }
    virtual LRESULT OnImeStartComposition() { return 0; }
    virtual LRESULT OnImeEndComposition() { return 0; }
    // The toolkit's private messages 0x825 and 0x826 to the focus control.
    virtual LRESULT OnPrivateMessage(UINT, WPARAM, LPARAM) { return 0; }

    static constexpr UINT KeepSize = 1, KeepPosition = 2;
    virtual void SetPos(int x, int y, int width, int height, UINT flags = 0);
    virtual void SetVisible(bool visible);
    virtual void SetEnable(bool enabled);

    // Shows the scroll bar while the content moves; the fade-out hides it.
    virtual void SetScrollBarShown(bool shown) { m_scrollBarShown = shown; }
    virtual void DrawVScrollBar(HDC dc, const RECT& rect, const RECT& clip);
    virtual void AnimateScrollBar();
    virtual void DrawScrollBarStep(HDC dc, const RECT& rect, int step);
    virtual int GetContentHeight() const { return m_height; }
    virtual int GetTopPos() const { return 0; }
    // The scrolling part of the control and the content's offset in it (a list's header
    // does not scroll).
    virtual int GetViewHeight() const { return m_height; }
    virtual int GetScrollOffset() const { return GetTopPos(); }
    virtual int GetWidth() const { return m_width; }
    virtual int GetHeight() const { return m_height; }
    virtual void ScrollTo(int, int, bool) {}
    virtual void SetTopPos(int position) { m_topPos = position; }
    virtual void ScrollBy(int delta) { SetTopPos(GetTopPos() + delta); }
    virtual void OnHoldStart() {}
    virtual void OnHeld() {}
    virtual void OnPaste() {}
    virtual void SetParent(UiWin* parent);
    virtual WinManager* GetWinManager();
    HWND GetHostWindow();
    virtual bool IsScrollContainer() const { return false; }
    UiWin* GetScrollContainer();
    virtual void StopScroll();
    virtual void StartFling(int) {}
    virtual void SetText(const wchar_t* text);
    const wchar_t* GetText() const { return m_text.C_Str(); }
    virtual void OnCopy() {}
    virtual void OnCut() {}
    virtual void OnFtMessage(WPARAM, LPARAM) {}
    void SetScrollable(bool scrollable) { m_scrollable = scrollable; }
    // 0: always scrollable; 1: only when the content is longer than the view (2 serves as 1).
    void SetScrollMode(int mode) { m_scrollMode = mode; }
    void SetMouseTransparent(bool transparent) { m_mouseTransparent = transparent; }

    void SetID(UINT id) { m_id = id & 0xFFFF; }
    UINT GetID() const { return m_id; }
    void AddChild(UiWin* control);
    const std::vector<UiWin*>& Children() const { return m_children; }
    UiWin* GetParent() const { return m_parent; }
    RECT GetRect() const { return RECT{0, 0, m_width, m_height}; }
    int GetX() const { return m_x; }
    int GetY() const { return m_y; }
    // Control co-ordinates to the host window's and back.
    POINT ClientToWindow(int x, int y) const;
    POINT WindowToClient(int x, int y) const;
    RECT WindowRect() const;
    void SetTextColour(COLORREF colour) { m_textColour = colour; }
    void SetTextSize(int size) { m_textSize = size; }
    void SetTextWeight(int weight) { m_textWeight = weight; }
    void SetTextFormat(UINT format) { m_textFormat = format; }
    UINT GetTextFormat() const { return m_textFormat; }
    void SetHoldDelay(UINT milliseconds) { m_holdDelay = milliseconds; }
    void SetHoldEnabled(bool enabled) { m_holdEnabled = enabled; }
    void SetNotifyMouse(bool notify) { m_notifyMouse = notify; }
    void SetCanTakeFocus(bool can) { m_canTakeFocus = can; }
    void SetPassDragToScroller(bool pass) { m_passDragToScroller = pass; }
    void SetSlideDetection(bool detect) { m_slideDetection = detect; }
    void SetClipInset(bool clip, int inset) { m_clipInset = clip, m_inset = inset; }
    void SetScrollBars(bool vertical, bool horizontal) { m_vScrollBar = vertical, m_hScrollBar = horizontal; }
    void PostCommand(UINT code, LPARAM argument);

    bool IsVisible() const { return m_visible; }
    bool IsEnabled() const { return m_enabled; }
    bool IsMouseTransparent() const { return m_mouseTransparent; }
    bool IsPressed() const { return m_pressed; }
    bool IsMoved() const { return m_moved; }
    bool IsCancelled() const { return m_cancelled; }
    bool IsLongPressed() const { return m_longPressed; }
    bool HasFocus();
    // Visible, and every control above it too.
    bool IsShownInTree() const;
    bool Contains(const UiWin* control) const;

protected:
    // A font of the control's size and weight.
    HFONT TextFont() const;
    // Draws the control's text into `rect` with its colour, font and format.
    void DrawText(HDC dc, RECT rect, COLORREF colour) const;
    // Whether the content may follow the finger (scroll mode and content length).
    virtual bool MayScroll() const;

    UINT m_id = 0;
    int m_x = 0, m_y = 0, m_width = 0, m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_mouseTransparent = false;
    UiWin* m_parent = nullptr;
    std::vector<UiWin*> m_children;
    ToolkitString m_text;
    COLORREF m_textColour;
    int m_textSize = 24;
    int m_textWeight = 400;
    UINT m_textFormat = 0x25; // DT_CENTER | DT_VCENTER | DT_SINGLELINE
    int m_topPos = 0;
    bool m_scrollable = true;
    int m_scrollMode = 0;
    bool m_vScrollBar = false, m_hScrollBar = false, m_scrollBarShown = false;
    int m_fadeStep = 0; // the scroll-bar image drawn while the bar fades, 0 when none
    bool m_holdEnabled = false;
    UINT m_holdDelay = 1000;
    bool m_canTakeFocus = false;
    bool m_notifyMouse = false;
    bool m_passDragToScroller = false;
    bool m_slideDetection = false, m_slideTracking = false, m_slid = false;
    bool m_pressed = false, m_moved = false, m_doubleClicked = false, m_longPressed = false;
    bool m_cancelled = false; // a press the WinManager handed over to a scroll container
    POINT m_downPoint{};
    bool m_clipInset = false;
    int m_inset = 0;

    friend class WinManager;
};
