#include "toolkit/UiWin.h"

#include "platform/base/Time.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "platform/window/WindowApi.h"
#include "toolkit/Image.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"
#include "toolkit/ToolkitMessages.h"
#include "toolkit/Transition.h"
#include "toolkit/WinManager.h"

#include <algorithm>

UiWin::UiWin() : m_textColour(GetThemeColour(SYSCLR_WINDOW_TEXT)) {}

UiWin::~UiWin() {
    // Forgotten with the whole subtree while the tree still leads to the WinManager: a
    // child outliving this control cannot be reached from it any more.
    if (WinManager* manager = GetWinManager())
        manager->Forget(this);
    for (UiWin* child : m_children)
        child->m_parent = nullptr;
    m_children.clear();
    SetParent(nullptr);
}

void UiWin::PaintTree(HDC dc, const RECT& clip) {
    if (!m_visible)
        return;
    RECT self = WindowRect();
    PaintWin(dc, self);
    for (UiWin* child : m_children) {
        if (!child->m_visible)
            continue;
        RECT place = child->WindowRect();
        if (child->m_clipInset)
            InflateRect(&place, -child->m_inset, -child->m_inset);
        RECT visible;
        if (!IntersectRect(&visible, &place, &clip))
            continue;
        HRGN region = CreateRectRgnIndirect(&visible);
        SelectClipRgn(dc, region);
        DeleteObject(region);
        child->PaintTree(dc, visible);
        HRGN back = CreateRectRgnIndirect(&clip);
        SelectClipRgn(dc, back);
        DeleteObject(back);
    }
    if (m_fadeStep)
        DrawScrollBarStep(dc, self, m_fadeStep);
    else if (m_vScrollBar && m_scrollBarShown && m_scrollable)
        DrawVScrollBar(dc, self, clip);
}

void UiWin::Invalidate(const RECT* rect) {
    if (WinManager* manager = GetWinManager())
        manager->InvalidateControl(this, rect);
}

void UiWin::Update() {
    if (WinManager* manager = GetWinManager())
        manager->UpdateHost();
}

void UiWin::PostDeferred(UiWin* control, LPARAM argument) {
    if (HWND host = GetHostWindow())
        PostMessageW(host, WM_FT_DEFERRED, reinterpret_cast<WPARAM>(control), argument);
}

void UiWin::OnLButtonDown(UINT, int, int) {
    if (WinManager* manager = GetWinManager())
        manager->SetCapture(this);
    m_pressed = true;
    m_moved = m_doubleClicked = m_cancelled = false;
}

void UiWin::OnLButtonDblClk(UINT flags, int x, int y) {
    UiWin::OnLButtonDown(flags, x, y);
    m_doubleClicked = true;
}

void UiWin::OnLButtonUp(UINT, int, int) {
    WinManager* manager = GetWinManager();
    if (manager && manager->GetCapture() == this)
        manager->ReleaseCapture();
    m_pressed = m_doubleClicked = false;
}

void UiWin::SetFocus(bool focus) {
    WinManager* manager = GetWinManager();
    if (!manager)
        return;
    if (focus) {
        manager->SetFocusControl(this);
    } else if (manager->GetFocusControl() == this) {
        manager->SetFocusControl(nullptr);
        if (manager->GetRememberedFocus() == this)
            manager->ForgetRememberedFocus();
    }
}

bool UiWin::HasFocus() {
    WinManager* manager = GetWinManager();
    return manager && manager->GetFocusControl() == this;
}

void UiWin::SetPos(int x, int y, int width, int height, UINT flags) {
    if (!(flags & KeepPosition))
        m_x = x, m_y = y;
    if (!(flags & KeepSize))
        m_width = std::max(0, width), m_height = std::max(0, height);
}

void UiWin::SetVisible(bool visible) {
    if (m_visible == visible)
        return;
    WinManager* manager = GetWinManager();
    if (manager && !visible) {
        Invalidate();
        // A hidden control keeps neither the focus nor the finger.
        if (UiWin* focus = manager->GetFocusControl(); focus && Contains(focus)) {
            manager->SetFocusControl(nullptr);
            manager->RememberFocus(focus);
        }
        manager->LetGoInside(this);
    }
    m_visible = visible;
    if (manager && visible) {
        if (UiWin* remembered = manager->GetRememberedFocus(); remembered && Contains(remembered)) {
            manager->ForgetRememberedFocus();
            manager->SetFocusControl(remembered);
        }
        Invalidate();
    }
}

void UiWin::SetEnable(bool enabled) {
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    Invalidate();
}

namespace {

// The scroll bar's thumb in `rect` for a view of `view` pixels over `content` pixels at
// top position `top`; empty when everything fits.
RECT ScrollThumb(const RECT& rect, int view, int content, int top) {
    if (content <= view || view <= 0)
        return RECT{};
    int length = std::max(40, static_cast<int>(static_cast<long long>(view) * view / content));
    length = std::min(length, view);
    int travel = view - length;
    int offset =
        static_cast<int>(static_cast<long long>(std::clamp(-top, 0, content - view)) * travel / (content - view));
    return RECT{rect.right - 10, rect.top + offset, rect.right - 2, rect.top + offset + length};
}

} // namespace

void UiWin::DrawVScrollBar(HDC dc, const RECT& rect, const RECT&) { DrawScrollBarStep(dc, rect, FirstScrollBarFade); }

void UiWin::DrawScrollBarStep(HDC dc, const RECT& rect, int step) {
    RECT view{rect.left, rect.bottom - GetViewHeight(), rect.right, rect.bottom};
    RECT thumb = ScrollThumb(view, GetViewHeight(), GetContentHeight(), GetScrollOffset());
    if (thumb.bottom > thumb.top)
        DrawImage(LoadImage(GetResourceModule(), static_cast<UINT>(step), ImageWithBitmap), dc, thumb, true, false);
}

void UiWin::AnimateScrollBar() {
    HWND host = GetHostWindow();
    if (!host || !m_vScrollBar || !m_scrollBarShown)
        return;
    for (UINT step = FirstScrollBarFade; step < FirstScrollBarFade + ScrollBarFadeSteps; ++step) {
        MSG waiting;
        if (PeekMessageW(&waiting, nullptr, WM_MOUSEFIRST, WM_MOUSEFIRST + 13, PM_NOREMOVE))
            break; // the finger is back: the bar is wanted again
        m_fadeStep = static_cast<int>(step);
        Invalidate();
        Update();
        Sleep(static_cast<DWORD>(2 * TransitionFrameTime().count()));
    }
    m_fadeStep = 0;
    m_scrollBarShown = false;
    Invalidate();
}

void UiWin::SetParent(UiWin* parent) {
    if (parent == m_parent)
        return;
    if (WinManager* old = GetWinManager(); old && (!parent || parent->GetWinManager() != old))
        old->Forget(this);
    if (m_parent) {
        auto& siblings = m_parent->m_children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    m_parent = parent;
}

WinManager* UiWin::GetWinManager() { return m_parent ? m_parent->GetWinManager() : nullptr; }

HWND UiWin::GetHostWindow() {
    WinManager* manager = GetWinManager();
    return manager ? manager->GetBoundWindow() : nullptr;
}

UiWin* UiWin::GetScrollContainer() {
    for (UiWin* control = this; control; control = control->m_parent) {
        if (control->IsScrollContainer())
            return control;
    }
    return nullptr;
}

void UiWin::StopScroll() {
    if (HWND host = GetHostWindow())
        PostMessageW(host, WM_FT_SCROLL_STOPPED, m_id, 0);
}

void UiWin::SetText(const wchar_t* text) {
    m_text.Assign(text);
    Invalidate();
}

void UiWin::AddChild(UiWin* control) {
    if (!control || control == this || std::find(m_children.begin(), m_children.end(), control) != m_children.end())
        return;
    control->SetParent(this);
    m_children.push_back(control);
}

POINT UiWin::ClientToWindow(int x, int y) const {
    for (const UiWin* control = this; control; control = control->m_parent)
        x += control->m_x, y += control->m_y;
    return POINT{x, y};
}

POINT UiWin::WindowToClient(int x, int y) const {
    POINT origin = ClientToWindow(0, 0);
    return POINT{x - origin.x, y - origin.y};
}

RECT UiWin::WindowRect() const {
    POINT origin = ClientToWindow(0, 0);
    return RECT{origin.x, origin.y, origin.x + m_width, origin.y + m_height};
}

void UiWin::PostCommand(UINT code, LPARAM argument) {
    if (HWND host = GetHostWindow())
        PostMessageW(host, WM_FT_COMMAND, m_id | (static_cast<WPARAM>(code & 0xFFFF) << 16), argument);
}

bool UiWin::IsShownInTree() const {
    for (const UiWin* control = this; control; control = control->m_parent) {
        if (!control->m_visible)
            return false;
    }
    return true;
}

bool UiWin::Contains(const UiWin* control) const {
    for (; control; control = control->m_parent) {
        if (control == this)
            return true;
    }
    return false;
}

HFONT UiWin::TextFont() const { return GetFont(m_textSize, m_textWeight, false, false, FontUpright); }

void UiWin::DrawText(HDC dc, RECT rect, COLORREF colour) const {
    HGDIOBJ previous = SelectObject(dc, TextFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, m_text.C_Str(), -1, &rect, m_textFormat);
    SelectObject(dc, previous);
}

bool UiWin::MayScroll() const {
    if (m_scrollMode == 0)
        return true;
    return GetScrollOffset() < 0 || GetContentHeight() + GetScrollOffset() > GetViewHeight();
}
