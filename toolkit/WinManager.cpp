#include "toolkit/WinManager.h"

#include "platform/base/DebugOutput.h"
#include "platform/gdi/GdiApi.h"
#include "platform/window/WindowApi.h"
#include "toolkit/Theme.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr UINT ImeStartComposition = 269, ImeEndComposition = 270, ImeComposition = 271;

UINT DeveloperMessage() {
    static const UINT message = RegisterWindowMessageW(L"WM_A4_DEV");
    return message;
}

bool MouseZone() { return GetDebugZones() & ZoneMouse; }

// Whether `control` is in the tree below `root`, found by its address alone: a control
// that has gone away is never touched.
bool InTree(const UiWin* root, const UiWin* control) {
    for (const UiWin* child : root->Children()) {
        if (child == control || InTree(child, control))
            return true;
    }
    return false;
}

} // namespace

PackedPosition PackMousePosition(int x, int y) {
    auto ux = static_cast<std::uint32_t>(x), uy = static_cast<std::uint32_t>(y);
    if (x >= 65536)
        return {WM_FT_MOUSE_WIDE, static_cast<LPARAM>((ux & 0xFFFFF) ^ (uy << 20))};
    if (y >= 65536)
        return {WM_FT_MOUSE_TALL, static_cast<LPARAM>((ux & 0xFFF) | (uy << 12))};
    return {WM_FT_MOUSE, static_cast<LPARAM>((ux & 0xFFFF) | (uy << 16))};
}

WinManager::WinManager() = default;

WinManager::~WinManager() {
    if (m_host && IsWindow(m_host))
        KillTimer(m_host, FtHoldTimer);
}

void WinManager::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_visible)
        return;
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case ImeStartComposition:
    case ImeEndComposition:
    case ImeComposition:
    case 0x825:
    case 0x826: ToFocus(message, wParam, lParam); return;
    case WM_TIMER: OnWMTimer(wParam); return;
    case WM_MOUSEMOVE:
        if (x == m_last.x && y == m_last.y)
            return;
        m_previous = m_last;
        m_last = POINT{x, y};
        m_movedMark = true;
        OnWMMouseMove(static_cast<UINT>(wParam), x, y);
        return;
    case WM_LBUTTONDOWN:
        m_last = POINT{x, y};
        if (MouseZone())
            NKDbgPrintfW(L"ftk ZONE_MOUSE: WinManager::OnWMLButtonDown(%d, %d);\n", x, y);
        m_buttonDown = true;
        OnWMLButtonDown(static_cast<UINT>(wParam), x, y);
        return;
    case WM_LBUTTONUP:
        m_buttonDown = m_doubleClick = false;
        if (MouseZone())
            NKDbgPrintfW(L"ftk ZONE_MOUSE: WinManager::OnWMLButtonUp(%d, %d);\n", x, y);
        OnWMLButtonUp(static_cast<UINT>(wParam), x, y);
        return;
    case WM_LBUTTONDBLCLK:
        m_last = POINT{x, y};
        if (MouseZone())
            NKDbgPrintfW(L"ftk ZONE_MOUSE: WinManager::OnWMLButtonDblClk(%d, %d);\n", x, y);
        m_doubleClick = true;
        OnWMLButtonDblClk(static_cast<UINT>(wParam), x, y);
        return;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE: {
        UiWin* target = m_focus ? m_focus : m_rememberedFocus;
        if (target)
            message == WM_CUT ? target->OnCut() : message == WM_COPY ? target->OnCopy() : target->OnPaste();
        return;
    }
    case WM_FT_DEFERRED: {
        // Only a control still in this tree: one destroyed after posting is not called.
        auto* control = reinterpret_cast<UiWin*>(wParam);
        if (InTree(this, control))
            control->OnDeferred(lParam);
        return;
    }
    default: break;
    }
    if (message == DeveloperMessage()) {
        if (UiWin* target = m_focus ? m_focus : m_rememberedFocus)
            target->OnFtMessage(wParam, lParam);
    }
}

LRESULT WinManager::ToFocus(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_focus)
        return 0;
    switch (message) {
    case WM_KEYDOWN: return m_focus->OnKeyDown(wParam, lParam);
    case WM_KEYUP: return m_focus->OnKeyUp(wParam, lParam);
    case WM_CHAR: return m_focus->OnChar(wParam, lParam);
    case ImeStartComposition: return m_focus->OnImeStartComposition();
    case ImeEndComposition: return m_focus->OnImeEndComposition();
    case ImeComposition: return m_focus->OnImeComposition(lParam);
    default: return m_focus->OnPrivateMessage(message, wParam, lParam);
    }
}

UiWin* WinManager::HitTest(UiWin* control, int x, int y) {
    if (!control || !control->m_visible || x < control->m_x || y < control->m_y ||
        x >= control->m_x + control->m_width || y >= control->m_y + control->m_height)
        return nullptr;
    if (!control->m_enabled)
        return control;
    int localX = x - control->m_x, localY = y - control->m_y;
    for (auto child = control->m_children.rbegin(); child != control->m_children.rend(); ++child) {
        if ((*child)->m_mouseTransparent)
            continue;
        if (UiWin* hit = HitTest(*child, localX, localY))
            return hit;
    }
    return control;
}

void WinManager::OnWMLButtonDown(UINT flags, int x, int y) { PressAt(flags, x, y, false); }

void WinManager::OnWMLButtonDblClk(UINT flags, int x, int y) { PressAt(flags, x, y, true); }

void WinManager::PressAt(UINT flags, int x, int y, bool doubleClick) {
    m_last = POINT{x, y};
    // A control keeps the press only while the window keeps the capture: when another
    // window took it (the press opened one, which got the finger's release), the press
    // is over and this one is new.
    if (m_capture && m_host && ::GetCapture() != m_host)
        m_capture = nullptr;
    UiWin* target = m_capture ? m_capture : HitTest(this, x, y);
    if (!target)
        return;
    if (!target->m_enabled) {
        m_pending = target;
        UiWin* container = target->m_parent ? target->m_parent->GetScrollContainer() : nullptr;
        if (target->m_passDragToScroller && container) {
            container->StopScroll();
            container->StartFling(0);
        }
        return;
    }
    if (target == this)
        return;
    POINT local = target->WindowToClient(x, y);
    if (target->m_holdEnabled && target->m_holdDelay > 0)
        StartHold(target, local);
    target->m_downPoint = local;
    if (doubleClick)
        target->OnLButtonDblClk(flags, local.x, local.y);
    else
        target->OnLButtonDown(flags, local.x, local.y);
    if (target->m_slideDetection)
        target->m_slideTracking = true, target->m_slid = false;
    if (target->m_passDragToScroller) {
        if (UiWin* container = target->m_parent ? target->m_parent->GetScrollContainer() : nullptr)
            container->StopScroll();
    }
    if (target->m_notifyMouse)
        NotifyMouse(target, doubleClick ? FtMouseDoubleClick : FtMouseDown, local);
}

void WinManager::StartHold(UiWin* target, POINT local) {
    m_hold = target;
    SetTimer(m_host, FtHoldTimer, target->m_holdDelay, nullptr);
    target->OnHoldStart();
    target->m_longPressed = false;
    if (target->m_notifyMouse)
        NotifyMouse(target, FtMouseHoldStarted, local);
}

void WinManager::OnWMMouseMove(UINT flags, int x, int y) {
    POINT previous = m_previous;
    if (m_pending) {
        UiWin* container = m_pending->m_parent ? m_pending->m_parent->GetScrollContainer() : nullptr;
        if (m_pending->m_passDragToScroller && container) {
            m_pending = nullptr;
            SetCapture(container);
            ReplayDrag(previous, x, y);
            return;
        }
    }
    UiWin* target = m_capture ? m_capture : HitTest(this, x, y);
    if (!target || target == this)
        return;
    POINT local = target->WindowToClient(x, y);
    bool firstMove = !target->m_moved;
    if (target->m_pressed) {
        target->OnMouseMove(flags, local.x, local.y);
        if (target->m_notifyMouse)
            NotifyMouse(target, FtMouseMove, local);
    }
    if (firstMove && target->m_pressed && target->m_slideDetection && target->m_slideTracking && !target->m_slid)
        DecideSlide(target, local);
    UiWin* container = target->m_parent ? target->m_parent->GetScrollContainer() : nullptr;
    if (target->m_pressed && target->m_passDragToScroller && container && !target->m_slideTracking) {
        target->m_cancelled = true;
        OnWMLButtonUp(flags, x, y);
        SetCapture(container);
        ReplayDrag(previous, x, y);
    }
}

void WinManager::DecideSlide(UiWin* target, POINT local) {
    int dx = local.x - target->m_downPoint.x, dy = local.y - target->m_downPoint.y;
    if (std::abs(dx) < 3 * std::abs(dy)) {
        target->m_slideTracking = false;
        return;
    }
    target->m_slid = true;
    PackedPosition packed = PackMousePosition(local.x, local.y);
    bool tall = packed.message == WM_FT_MOUSE_TALL;
    PostMessageW(m_host, tall ? WM_FT_SLIDE_TALL : WM_FT_SLIDE, target->m_id, packed.lParam);
}

void WinManager::ReplayDrag(POINT previous, int x, int y) {
    SendMessageW(m_host, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(previous.x, previous.y));
    SendMessageW(m_host, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
}

void WinManager::OnWMLButtonUp(UINT flags, int x, int y) {
    m_last = POINT{x, y};
    UiWin* target = m_capture ? m_capture : HitTest(this, x, y);
    m_pending = nullptr;
    if (m_host)
        KillTimer(m_host, FtHoldTimer);
    if (!target || target == this || !target->m_pressed)
        return;
    POINT local = target->WindowToClient(x, y);
    target->OnLButtonUp(flags, local.x, local.y);
    // A click may have removed the control (a list's row opening a window, say).
    if (!InTree(this, target))
        return;
    if (UiWin* second = m_secondUp) {
        m_secondUp = nullptr;
        POINT there = second->WindowToClient(x, y);
        second->OnLButtonUp(flags, there.x, there.y);
    }
    if (target->m_canTakeFocus && !target->m_moved && m_focus != target)
        SetFocusControl(target);
    if (target->m_notifyMouse)
        NotifyMouse(target, FtMouseUp, local);
}

void WinManager::OnWMTimer(UINT_PTR timerId) {
    if (timerId != FtHoldTimer) {
        TimerToTree(this, timerId);
        return;
    }
    KillTimer(m_host, FtHoldTimer);
    UiWin* hold = m_hold;
    if (!hold)
        return;
    hold->m_longPressed = true;
    POINT local = hold->WindowToClient(m_last.x, m_last.y);
    RECT inside = hold->GetRect();
    if (hold->m_pressed && PtInRect(&inside, local)) {
        hold->OnHeld();
        if (hold->m_notifyMouse)
            NotifyMouse(hold, FtMouseHeld, local);
    }
}

void WinManager::TimerToTree(UiWin* control, UINT_PTR timerId) {
    if (control != this)
        control->OnTimer(timerId);
    // A copy: a timer may add or remove controls.
    std::vector<UiWin*> children = control->m_children;
    for (UiWin* child : children) {
        const auto& now = control->m_children;
        if (std::find(now.begin(), now.end(), child) != now.end())
            TimerToTree(child, timerId);
    }
}

void WinManager::SetCapture(UiWin* control) {
    m_capture = control;
    if (m_host)
        ::SetCapture(m_host);
}

void WinManager::ReleaseCapture() {
    m_capture = nullptr;
    if (m_host && ::GetCapture() == m_host)
        ::ReleaseCapture();
}

void WinManager::SetFocusControl(UiWin* control) {
    if (control == m_focus)
        return;
    if (m_host && ::GetFocus() == m_host)
        ::SetFocus(nullptr);
    UiWin* old = m_focus;
    m_focus = control;
    if (old)
        old->OnKillFocus(control);
    if (control) {
        if (m_host)
            ::SetFocus(m_host);
        control->OnSetFocus(old);
    }
    if (m_host)
        SendMessageW(m_host, WM_FT_FOCUS_CHANGED, control ? control->m_id : 0, old ? old->m_id : 0);
}

void WinManager::OnActivate(bool active) {
    if (!active) {
        if (m_focus) {
            UiWin* focus = m_focus;
            SetFocusControl(nullptr);
            m_rememberedFocus = focus;
        }
    } else if (m_rememberedFocus && m_rememberedFocus->IsShownInTree()) {
        // A control hidden meanwhile keeps waiting: showing it brings the focus back.
        UiWin* remembered = m_rememberedFocus;
        m_rememberedFocus = nullptr;
        SetFocusControl(remembered);
    }
}

void WinManager::LetGoInside(UiWin* control) {
    if (m_capture && control->Contains(m_capture)) {
        UiWin* pressed = m_capture;
        pressed->m_pressed = false;
        ReleaseCapture();
        pressed->OnPressLost();
    }
    if (m_hold && control->Contains(m_hold)) {
        m_hold = nullptr;
        if (m_host && IsWindow(m_host))
            KillTimer(m_host, FtHoldTimer);
    }
}

void WinManager::Forget(UiWin* control) {
    for (UiWin* child : control->m_children)
        Forget(child);
    if (m_capture == control)
        ReleaseCapture();
    if (m_focus == control)
        m_focus = nullptr;
    if (m_rememberedFocus == control)
        m_rememberedFocus = nullptr;
    if (m_hold == control) {
        m_hold = nullptr;
        if (m_host && IsWindow(m_host))
            KillTimer(m_host, FtHoldTimer);
    }
    if (m_pending == control)
        m_pending = nullptr;
    if (m_secondUp == control)
        m_secondUp = nullptr;
}

void WinManager::NotifyMouse(UiWin* control, int event, POINT point) {
    if (!m_host)
        return;
    PackedPosition packed = PackMousePosition(point.x, point.y);
    SendMessageW(m_host, packed.message, control->m_id + (static_cast<WPARAM>(event) << 16), packed.lParam);
}

void WinManager::PaintAll(HDC dc, const RECT& rect) {
    HRGN region = CreateRectRgnIndirect(&rect);
    SelectClipRgn(dc, region);
    DeleteObject(region);
    PaintTree(dc, rect);
    SelectClipRgn(dc, nullptr);
}

void WinManager::InvalidateControl(UiWin* control, const RECT* rect) {
    if (!m_host)
        return;
    if (!control) {
        InvalidateRect(m_host, nullptr, FALSE);
        return;
    }
    RECT area = rect ? *rect : control->GetRect();
    POINT origin = control->ClientToWindow(0, 0);
    OffsetRect(&area, origin.x, origin.y);
    if (control->m_clipInset)
        InflateRect(&area, -control->m_inset, -control->m_inset);
    InvalidateRect(m_host, &area, FALSE);
}

void WinManager::UpdateHost() {
    if (m_host)
        UpdateWindow(m_host);
}
