#include "toolkit/ScrollPainter.h"

#include "platform/display/PaintApi.h"
#include "platform/gdi/GdiApi.h"
#include "platform/window/WindowApi.h"
#include "toolkit/ControlLook.h"
#include "toolkit/FtWnd.h"
#include "toolkit/UiWin.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// UiWin draws a scroll bar's thumb 2 to 10 pixels from the right edge of its control.
constexpr int ScrollBarColumn = 12;

class WindowDc {
public:
    explicit WindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~WindowDc() {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

bool ShownWithAncestors(const UiWin& control) {
    for (const UiWin* node = &control; node; node = node->GetParent()) {
        if (!node->IsVisible())
            return false;
    }
    return true;
}

RECT Intersection(const RECT& a, const RECT& b) {
    RECT both{};
    IntersectRect(&both, &a, &b);
    return both;
}

// The ancestors clip their children to their own rectangles.
RECT VisiblePart(const UiWin& control, RECT area) {
    for (const UiWin* ancestor = control.GetParent(); ancestor; ancestor = ancestor->GetParent())
        area = Intersection(area, ancestor->WindowRect());
    return area;
}

RECT RightColumn(const UiWin& control) {
    RECT column = control.WindowRect();
    column.left = std::max(column.left, column.right - ScrollBarColumn);
    return column;
}

// What is drawn over the moving content must be drawn again rather than moved with it:
// the scroll bars of the control and of its ancestors (each drawn after its children)
// and the controls that lie above the control in the tree.
std::vector<RECT> Overlays(const UiWin& control, const RECT& area) {
    std::vector<RECT> overlays;
    auto add = [&](const RECT& rect) {
        RECT part = Intersection(rect, area);
        if (IsRectEmpty(&part))
            return;
        bool known = std::any_of(overlays.begin(), overlays.end(), [&](const RECT& other) {
            return other.left == part.left && other.top == part.top && other.right == part.right &&
                   other.bottom == part.bottom;
        });
        if (!known)
            overlays.push_back(part);
    };
    add(RightColumn(control));
    for (const UiWin* node = &control; const UiWin* parent = node->GetParent(); node = parent) {
        const std::vector<UiWin*>& siblings = parent->Children();
        auto self = std::find(siblings.begin(), siblings.end(), node);
        if (self != siblings.end()) {
            for (auto later = self + 1; later != siblings.end(); ++later) {
                if ((*later)->IsVisible())
                    add((*later)->WindowRect());
            }
        }
        add(RightColumn(*parent));
    }
    return overlays;
}

// The same two steps as the window's own WM_PAINT, restricted to `rect`.
void PaintArea(CFtWnd& window, HDC buffer, const RECT& rect) {
    if (IsRectEmpty(&rect))
        return;
    if (window.FillsBackground())
        FillSolid(buffer, rect, window.BackgroundColour());
    window.PaintWin(buffer, rect);
}

// Moves the rows of `visible` by `move` inside the buffer; returns the strip left to paint.
RECT MoveRows(HDC buffer, const RECT& visible, int move) {
    int width = visible.right - visible.left, height = visible.bottom - visible.top;
    if (std::abs(move) >= height)
        return visible;
    RECT exposed = visible;
    if (move > 0) {
        BitBlt(buffer, visible.left, visible.top + move, width, height - move, buffer, visible.left, visible.top,
               SRCCOPY);
        exposed.bottom = visible.top + move;
    } else {
        BitBlt(buffer, visible.left, visible.top, width, height + move, buffer, visible.left, visible.top - move,
               SRCCOPY);
        exposed.top = visible.bottom + move;
    }
    return exposed;
}

} // namespace

bool ScrollPixels(UiWin& control, const RECT& area, int move, const std::function<void()>& moveContent) {
    HWND host = control.GetHostWindow();
    CFtWnd* window = host ? CFtWnd::FindWnd(host) : nullptr;
    if (!window || !IsWindowVisible(host) || !ShownWithAncestors(control))
        return false;
    // Whatever waits to be painted is painted at the old position first: the pixels
    // about to be reused must be the current ones.
    UpdateWindow(host);
    const OffscreenBuffer& back = window->BackBuffer();
    RECT client = window->GetClientRect();
    if (!back.GetDC() || back.GetWidth() != client.right || back.GetHeight() != client.bottom)
        return false;

    moveContent();
    RECT visible = Intersection(VisiblePart(control, area), client);
    if (IsRectEmpty(&visible))
        return true;
    HDC buffer = back.GetDC();
    SelectClipRgn(buffer, nullptr);
    PaintArea(*window, buffer, MoveRows(buffer, visible, move));
    for (const RECT& overlay : Overlays(control, visible))
        PaintArea(*window, buffer, overlay);

    WindowDc screen(host);
    if (screen.Get())
        BitBlt(screen.Get(), visible.left, visible.top, visible.right - visible.left, visible.bottom - visible.top,
               buffer, visible.left, visible.top, SRCCOPY);
    return true;
}
