#include "app/NetworkWnd.h"

#include "platform/gdi/TextApi.h"
#include "platform/window/WindowApi.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"
#include "toolkit/ToolkitMessages.h"

#include <string>

namespace {

// The window is pushed in over the settings window and pushed out again.
constexpr int PushIn = 12, PushOut = 11;

std::wstring SettingsFile() { return ProgramFolderPath(L"\\Data\\Setting.ini"); }

} // namespace

NetworkWnd::NetworkWnd() = default;
NetworkWnd::~NetworkWnd() = default;

BOOL NetworkWnd::OnInitDialog() {
    if (!CFtHostWnd::OnInitDialog())
        return FALSE;
    ReadSettings();
    int width = GetWidth(), height = GetHeight();

    AddControl(m_caption, 0, 0, 0, width, CaptionHeight);
    m_caption.SetText(L"网络设置");

    // Placed before the switch is added: the switch is centred in the row's height.
    AddControl(m_autoConnectRow, 0, 0, RowTop, width, RowHeight);
    m_autoConnectRow.SetLabel(L"自动连接");
    m_autoConnectRow.AddSwitch(SwitchId, m_autoConnect == 1);

    AddControl(m_list, ListId, 0, ListTop, width, ListHeight);
    m_list.AddItem(L"GPRS");
    m_list.AddItem(L"WLAN");
    m_list.SetSelectedIndex(m_isWlan);
    m_list.SetScrollMode(1);
    m_list.SetNotifyMouse(true);

    AddControl(m_notice, 0, NoticeLeft, NoticeTop, width - 2 * NoticeLeft, NoticeHeight);
    m_notice.SetText(L"注意：使用GPRS请先在设置里面开启GPRS，启动WLAN后会连接默认网络，如无连接请手动进行设置。"
                     L"搜索一个页面约50-100KB流量，视频20分钟约30MB流量。");
    m_notice.SetTextFormat(DT_LEFT | DT_WORDBREAK);

    AddControl(m_toolbar, ToolbarId, 0, height - ToolbarHeight, width, ToolbarHeight);
    m_toolbar.SetButtonText(CancelButton, L"取消");
    m_toolbar.SetButtonText(ConfirmButton, L"确认");
    return TRUE;
}

int NetworkWnd::Run(HWND parent) {
    RECT work = GetWorkArea();
    int result = 0;
    if (Create(work.left, work.top, work.right - work.left, work.bottom - work.top, parent, nullptr, WS_POPUP, 0)) {
        SetAnimateIn(PushIn);
        SetAnimateOut(PushOut);
        result = DoModal();
    }
    Destroy();
    return result;
}

void NetworkWnd::ReadSettings() {
    m_autoConnect = 1;
    m_isWlan = 1;
    std::wstring file = SettingsFile();
    IniReadInt(L"Network", L"AutoConnect", m_autoConnect, file.c_str());
    IniReadInt(L"Network", L"IsWLAN", m_isWlan, file.c_str());
}

void NetworkWnd::OnFtCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case SwitchId: ToggleAutoConnect(); break;
    case ToolbarId: OnToolbarCommand(static_cast<int>(lParam)); break;
    default: break;
    }
}

void NetworkWnd::ToggleAutoConnect() {
    m_autoConnect = m_autoConnect == 1 ? 0 : 1;
    // The switch has turned itself over already; it is set from the value so that the
    // two cannot part, whatever the file held.
    if (UiButton* toggle = m_autoConnectRow.GetSwitch()) {
        toggle->SetChecked(m_autoConnect == 1);
        toggle->Update();
    }
}

LRESULT NetworkWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_FT_MOUSE && LOWORD(wParam) == ListId) {
        OnListMouse(HIWORD(wParam), GET_Y_LPARAM(lParam));
        return 0;
    }
    return CFtHostWnd::WindowProc(message, wParam, lParam);
}

void NetworkWnd::OnListMouse(int event, int y) {
    if (event != FtMouseDown || m_list.IsMoving())
        return;
    int row = m_list.HitTestItem(y);
    if (row < 0)
        return;
    m_list.SetSelectedIndex(row);
    m_list.Refresh();
}

void NetworkWnd::OnToolbarCommand(int button) {
    switch (button) {
    case CancelButton: EndModal(ResultCancelled); break;
    case ConfirmButton:
        Store();
        EndModal(ResultStored);
        break;
    default: break;
    }
}

// Failed writes go unreported: the window closes as if the values were stored.
void NetworkWnd::Store() {
    // A file value that names neither row left none selected; it is kept as read.
    if (int row = m_list.GetSelectedIndex(); row >= 0)
        m_isWlan = row;
    std::wstring file = SettingsFile();
    IniWriteInt(L"Network", L"AutoConnect", m_autoConnect, file.c_str());
    IniWriteInt(L"Network", L"IsWLAN", m_isWlan, file.c_str());
}
