#include "app/PlayListWnd.h"

#include "platform/device/Process.h"
#include "platform/gdi/TextApi.h"
#include "platform/window/WindowApi.h"
#include "playback/PlayerLauncher.h"
#include "playback/Playlist.h"
#include "toolkit/ToolkitMessages.h"

#include <algorithm>

namespace {

constexpr int TitleInset = 10;
constexpr UINT TitleFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;
constexpr const wchar_t* ContinuousText = L"连续播放";
constexpr const wchar_t* StopText = L"停止";

} // namespace

PlayListWnd::PlayListWnd() = default;
PlayListWnd::~PlayListWnd() = default;

BOOL PlayListWnd::OnInitDialog() {
    if (!CFtHostWnd::OnInitDialog())
        return FALSE;
    int width = GetWidth(), height = GetHeight();

    AddControl(m_caption, 0, 0, 0, width, CaptionHeight);
    m_caption.SetText(L"播放列表");

    AddControl(m_list, ListId, 0, CaptionHeight, width, height - CaptionHeight - ToolbarHeight);
    m_list.SetScrollMode(1);
    m_list.SetNotifyMouse(true);
    m_list.SetTextInsets(TitleInset, 0);
    m_list.SetTextFormat(TitleFormat);

    AddControl(m_toolbar, ToolbarId, 0, height - ToolbarHeight, width, ToolbarHeight);
    m_toolbar.SetButtonText(BackButton, L"返回");
    m_toolbar.SetButtonText(ContinuousButton, ContinuousText);
    m_toolbar.SetButtonText(PlayButton, L"播放");
    m_toolbar.SetButtonEnabled(PlayButton, false);

    LoadEntries();
    return TRUE;
}

void PlayListWnd::LoadEntries() {
    m_entries = ReadPlaylist(PlaylistPath());
    for (std::size_t index = 0; index < m_entries.size(); ++index)
        m_list.AddItem(m_entries[index].title.c_str(), index);
}

const PlaylistEntry* PlayListWnd::EntryAt(int row) const {
    const UiListItem* item = m_list.GetItem(row);
    return item && item->data < m_entries.size() ? &m_entries[item->data] : nullptr;
}

void PlayListWnd::OnFtCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == ToolbarId)
        OnToolbarCommand(static_cast<int>(lParam));
}

void PlayListWnd::OnToolbarCommand(int button) {
    switch (button) {
    case BackButton:
        // A pause under way ends here, not in the middle of the window's slide out.
        StopContinuous();
        EndModal(2);
        break;
    case ContinuousButton: m_continuous ? StopContinuous() : StartContinuous(); break;
    case PlayButton: Play(m_list.GetSelectedIndex()); break;
    default: break;
    }
}

LRESULT PlayListWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_FT_MOUSE && LOWORD(wParam) == ListId) {
        OnListMouse(HIWORD(wParam), GET_Y_LPARAM(lParam));
        return 0;
    }
    return CFtHostWnd::WindowProc(message, wParam, lParam);
}

void PlayListWnd::OnListMouse(int event, int y) {
    if (event != FtMouseDown && event != FtMouseDoubleClick)
        return;
    if (m_list.IsMoving())
        return;
    int row = m_list.HitTestItem(y);
    if (row < 0)
        return;
    Select(row);
    if (event == FtMouseDoubleClick)
        Play(row);
}

void PlayListWnd::Select(int row) {
    m_list.SetSelectedIndex(row);
    bool selected = m_list.GetSelectedIndex() >= 0;
    if (m_toolbar.IsButtonEnabled(PlayButton) != selected) {
        m_toolbar.SetButtonEnabled(PlayButton, selected);
        m_toolbar.Update();
    }
    m_list.Refresh();
}

void PlayListWnd::Play(int row) {
    const PlaylistEntry* entry = EntryAt(row);
    if (entry && !StartPlayer(BuiltInVideoPlayer, entry->address))
        ShowLaunchFailure();
}

// The browser view owns the message, as it owns this window.
void PlayListWnd::ShowLaunchFailure() {
    HWND owner = GetParent(m_hWnd);
    ShowLaunchError(*m_feedback, owner ? owner : m_hWnd, BuiltInPlayerFailed);
}

void PlayListWnd::StartContinuous() {
    m_continuous = true;
    m_toolbar.SetButtonText(ContinuousButton, StopText);
    m_toolbar.Update();
    ContinuousStep();
}

void PlayListWnd::ContinuousStep() {
    KillContinueTimer();
    if (!m_continuous) {
        StopContinuous();
        return;
    }
    int row = std::max(m_list.GetSelectedIndex(), 0);
    const PlaylistEntry* entry = EntryAt(row);
    if (!entry) {
        // Nothing to play: an empty list simply stops.
        StopContinuous();
        return;
    }
    PROCESS_INFORMATION player{};
    if (!StartPlayer(BuiltInVideoPlayer, entry->address, &player)) {
        StopContinuous();
        ShowLaunchFailure();
        return;
    }
    WaitForSingleObject(player.hProcess, INFINITE);
    CloseHandle(player.hProcess);
    CloseHandle(player.hThread);
    SetForegroundWindow(m_hWnd);
    if (EntryAt(row + 1)) {
        Select(row + 1);
        m_continueTimer = SetTimer(m_hWnd, ContinueTimer, ContinuePause, nullptr);
    } else {
        StopContinuous();
        Select(-1);
    }
}

void PlayListWnd::OnTimer(UINT_PTR timerId) {
    if (timerId != ContinueTimer) {
        CFtHostWnd::OnTimer(timerId);
        return;
    }
    // A pause that was stopped already does not start the next part.
    if (m_continueTimer == 0)
        return;
    m_continuous = true;
    ContinuousStep();
}

void PlayListWnd::KillContinueTimer() {
    if (m_continueTimer == 0)
        return;
    KillTimer(m_hWnd, ContinueTimer);
    m_continueTimer = 0;
}

void PlayListWnd::StopContinuous() {
    KillContinueTimer();
    m_continuous = false;
    m_toolbar.SetButtonText(ContinuousButton, ContinuousText);
    m_toolbar.Update();
}
