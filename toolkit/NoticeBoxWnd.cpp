#include "toolkit/NoticeBoxWnd.h"

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "platform/window/WindowApi.h"
#include "toolkit/MessageBoxWnd.h"
#include "toolkit/Theme.h"

NoticeBoxWnd::NoticeBoxWnd(std::wstring text, DWORD milliseconds, RECT panel)
    : m_text(std::move(text)), m_milliseconds(milliseconds), m_panel(panel) {
    SetFillBackground(false); // the snapshot covers the window
}

LRESULT NoticeBoxWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SHOWWINDOW && wParam)
        SetTimer(GetHwnd(), CloseTimer, m_milliseconds, nullptr);
    return CFtHostWnd::WindowProc(message, wParam, lParam);
}

void NoticeBoxWnd::OnTimer(UINT_PTR timerId) {
    if (timerId != CloseTimer)
        return;
    KillTimer(GetHwnd(), CloseTimer);
    EndModal(1);
}

RECT NoticeBoxWnd::PanelRect() const {
    int width = m_panel.right ? m_panel.right : MessageBoxWnd::PanelWidth;
    int height = m_panel.bottom ? m_panel.bottom : MessageBoxWnd::PanelHeight;
    int x = m_panel.left ? m_panel.left : (GetWidth() - width) / 2;
    int y = m_panel.top ? m_panel.top : (GetHeight() - height) / 2;
    return RECT{x, y, x + width, y + height};
}

void NoticeBoxWnd::PaintWin(HDC dc, const RECT& rect) {
    SIZE size = SnapshotSize(GetWidth());
    m_snapshot.Take(GetHwnd(), size.cx, size.cy, 80);
    m_snapshot.Draw(dc, rect);
    RECT panel = PanelRect();
    DrawPanel(dc, panel, GetWidth() > 480 ? PanelStyle::Wide : PanelStyle::Narrow);
    HGDIOBJ previous = SelectObject(dc, GetFont(30, 400, false, false, FontUpright));
    SetTextColor(dc, 0x00FFFFFF);
    SetBkMode(dc, TRANSPARENT);
    if (m_panel.right || m_panel.bottom) {
        // A panel of its own size holds one line, centred.
        SIZE line{};
        GetTextExtentExPointW(dc, m_text.c_str(), static_cast<int>(m_text.size()), 0, nullptr, nullptr, &line);
        int x = panel.left + (panel.right - panel.left - line.cx) / 2;
        int y = panel.top + (panel.bottom - panel.top - line.cy) / 2;
        ExtTextOutW(dc, x, y, 0, nullptr, m_text.c_str(), static_cast<UINT>(m_text.size()), nullptr);
    } else {
        DrawTextBlock(dc, m_text, RECT{panel.left + 20, panel.top + 48, panel.left + 408, panel.top + 232});
    }
    SelectObject(dc, previous);
    CFtHostWnd::PaintWin(dc, rect);
}

int ShowNoticeBox(HWND parent, const std::wstring& text, DWORD milliseconds, RECT panel) {
    NoticeBoxWnd notice(text, milliseconds, panel);
    if (!notice.Create(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), parent, nullptr, WS_POPUP,
                       0))
        return 1;
    notice.DoModal();
    notice.Destroy();
    return 1;
}
