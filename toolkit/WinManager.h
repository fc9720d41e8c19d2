#pragma once
// The root of a host window's control tree: it receives the window's messages first and
// paints the controls. FIXME: only the frame the host window needs is here (its area,
// its window, painting and the remembered focus across activations); the controls,
// hit-testing, capture, focus and the press-and-hold timer come with the controls.

#include "platform/gdi/GdiTypes.h"
#include "platform/window/WindowTypes.h"

class WinManager {
public:
    void SetRect(const RECT& rect) { m_rect = rect; }
    const RECT& GetRect() const { return m_rect; }
    void Bind(HWND host) { m_host = host; }
    HWND GetHostWindow() const { return m_host; }

    // Offered every message of the host window before the window's own handling.
    void RouteMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Paints the control tree into `dc`, clipped to `rect`.
    void PaintAll(HDC dc, const RECT& rect);
    // The host window was deactivated (the focus is remembered and cleared) or activated
    // again (the remembered focus comes back).
    void OnActivate(bool active);

private:
    RECT m_rect{};
    HWND m_host = nullptr;
};
