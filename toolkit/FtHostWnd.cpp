#include "toolkit/FtHostWnd.h"

#include "toolkit/ToolkitMessages.h"

LRESULT CFtHostWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    m_winManager.RouteMessage(message, wParam, lParam);
    if (message == WM_FT_ACTIVATE) {
        m_winManager.OnActivate(LOWORD(wParam) != 0);
        return 0;
    }
    return CFtWnd::WindowProc(message, wParam, lParam);
}

BOOL CFtHostWnd::OnInitDialog() {
    RECT client = GetClientRect();
    m_winManager.SetRect(RECT{0, 0, client.right, client.bottom});
    m_winManager.Bind(m_hWnd);
    return TRUE;
}
