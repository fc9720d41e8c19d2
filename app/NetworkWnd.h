#pragma once
// The network settings: whether the program offers to bring the network up when it
// starts ("自动连接", a switch) and which network it brings up (a list of "GPRS" and
// "WLAN", the row's index being Network/IsWLAN). "确认" stores both in Setting.ini and
// ends the window with 1; "取消" ends it with 2 and stores nothing.
//
// Made, run modally and destroyed by the settings window on the user-interface thread;
// the file is read once, at initialisation, and written only by "确认".

#include "toolkit/FtHostWnd.h"
#include "toolkit/UiList.h"
#include "toolkit/UiSettingRow.h"
#include "toolkit/UiStatic.h"
#include "toolkit/UiToolBar.h"
#include "toolkit/WindowFeedbackCalls.h"

class NetworkWnd : public CFtHostWnd {
public:
    static constexpr UINT ListId = 2025;
    static constexpr UINT ToolbarId = 2026;
    static constexpr UINT SwitchId = 2027;
    static constexpr int CaptionHeight = 42, RowTop = 42, RowHeight = 70;
    static constexpr int ListTop = 112, ListHeight = 150;
    // Taller than the device had it: our face writes the notice in five lines, not four.
    static constexpr int NoticeLeft = 20, NoticeTop = 400, NoticeHeight = 170;
    static constexpr int ToolbarHeight = 65;
    // The tool bar's columns; the middle one has no button.
    enum ToolbarButton { CancelButton = 0, ConfirmButton = 2 };
    static constexpr int ResultStored = 1, ResultCancelled = 2;

    NetworkWnd();
    ~NetworkWnd() override;

    const wchar_t* GetFtClassName() const override { return L"NetworkWnd"; }
    BOOL OnInitDialog() override;
    void OnFtCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Where message boxes of the window would go (tests script them); it shows none
    // of its own today. Null: the toolkit's.
    void SetFeedback(FeedbackCalls* feedback) { m_feedback = feedback ? feedback : &m_windowFeedback; }
    // Made over the work area as a pop-up of `parent`, pushed in and out, destroyed
    // again: the modal result, 0 when the window could not be made.
    int Run(HWND parent);

    // The window's own copies, as the file gave them and the switch and rows changed them.
    int AutoConnect() const { return m_autoConnect; }
    int IsWlan() const { return m_isWlan; }
    UiSettingRow& AutoConnectRow() { return m_autoConnectRow; }
    UiList& List() { return m_list; }
    UiToolBar& Toolbar() { return m_toolbar; }

private:
    void ReadSettings();
    void ToggleAutoConnect();
    // A mouse event of the list, `y` in the list's co-ordinates.
    void OnListMouse(int event, int y);
    void OnToolbarCommand(int button);
    void Store();

    int m_autoConnect = 1;
    int m_isWlan = 1;
    UiCaption m_caption;
    UiSettingRow m_autoConnectRow;
    UiList m_list;
    UiStatic m_notice;
    UiToolBar m_toolbar;
    WindowFeedbackCalls m_windowFeedback;
    FeedbackCalls* m_feedback = &m_windowFeedback;
};
