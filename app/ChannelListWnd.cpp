#include "app/ChannelListWnd.h"

#include "platform/gdi/TextApi.h"
#include "platform/window/WindowApi.h"
#include "playback/PlayerLauncher.h"
#include "settings/ChannelIndex.h"
#include "settings/ProgramFolder.h"
#include "toolkit/ToolkitMessages.h"

namespace {

constexpr int NameInset = 25;
constexpr UINT NameFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;

} // namespace

ChannelListWnd::ChannelListWnd() = default;
ChannelListWnd::~ChannelListWnd() = default;

BOOL ChannelListWnd::OnInitDialog() {
    if (!CFtHostWnd::OnInitDialog())
        return FALSE;
    int width = GetWidth(), height = GetHeight();
    int listHeight = height - CaptionHeight - ToolbarHeight;

    AddControl(m_caption, 0, 0, 0, width, CaptionHeight);
    m_caption.SetText(L"自定义频道");

    AddControl(m_list, ListId, 0, CaptionHeight, width, listHeight);
    m_list.SetScrollMode(1);
    m_list.SetNotifyMouse(true);
    m_list.SetTextInsets(NameInset, IndexBarWidth);
    m_list.SetTextFormat(NameFormat);

    // Added after the list: the strip lies over the rows' right edge and takes the
    // finger there.
    AddControl(m_indexBar, IndexBarId, IndexBarLeft, CaptionHeight, IndexBarWidth, listHeight);

    AddControl(m_toolbar, ToolbarId, 0, height - ToolbarHeight, width, ToolbarHeight);
    m_toolbar.SetButtonText(BackButton, L"返回");
    m_toolbar.SetButtonText(OpenButton, L"打开");
    m_toolbar.SetButtonEnabled(OpenButton, false);

    LoadChannels();
    return TRUE;
}

void ChannelListWnd::LoadChannels() {
    m_channels = ReadChannelFile(ProgramFolderPath(ChannelFileName));
    for (std::size_t index = 0; index < m_channels.size(); ++index)
        m_list.AddItem(m_channels[index].name.c_str(), index);
}

const ChannelEntry* ChannelListWnd::ChannelAt(int row) const {
    const UiListItem* item = m_list.GetItem(row);
    return item && item->data < m_channels.size() ? &m_channels[item->data] : nullptr;
}

void ChannelListWnd::OnFtCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case ToolbarId: OnToolbarCommand(static_cast<int>(lParam)); break;
    // The strip's command was posted: the letter asked for now is the one the finger
    // rests on, which may already be a later one.
    case IndexBarId: JumpTo(m_indexBar.GetLetter()); break;
    default: break;
    }
}

void ChannelListWnd::OnToolbarCommand(int button) {
    switch (button) {
    case BackButton: EndModal(2); break;
    case OpenButton: ActOn(m_list.GetSelectedIndex()); break;
    default: break;
    }
}

LRESULT ChannelListWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_FT_MOUSE && LOWORD(wParam) == ListId) {
        OnListMouse(HIWORD(wParam), GET_Y_LPARAM(lParam));
        return 0;
    }
    return CFtHostWnd::WindowProc(message, wParam, lParam);
}

void ChannelListWnd::OnListMouse(int event, int y) {
    switch (event) {
    case FtMouseDown:
        if (m_list.IsMoving())
            return;
        if (int row = m_list.HitTestItem(y); row >= 0)
            Select(row);
        return;
    case FtMouseMove:
        // The finger sliding over the rows moves them; it has chosen none.
        if (m_list.GetSelectedIndex() >= 0)
            Select(-1);
        return;
    case FtMouseUp:
        // A finger that wandered a little during a tap cleared the selection on the way,
        // and the list selects the row again on the release: the button follows it.
        ShowOpenButton();
        return;
    case FtMouseDoubleClick: {
        if (m_list.IsMoving())
            return;
        int row = m_list.HitTestItem(y);
        if (row < 0)
            return;
        Select(row);
        ActOn(row);
        return;
    }
    default: return;
    }
}

void ChannelListWnd::Select(int row) {
    m_list.SetSelectedIndex(row);
    ShowOpenButton();
    m_list.Refresh();
}

void ChannelListWnd::ShowOpenButton() {
    bool selected = m_list.GetSelectedIndex() >= 0;
    if (m_toolbar.IsButtonEnabled(OpenButton) == selected)
        return;
    m_toolbar.SetButtonEnabled(OpenButton, selected);
    m_toolbar.Update();
}

void ChannelListWnd::ActOn(int row) {
    const ChannelEntry* channel = ChannelAt(row);
    if (!channel)
        return;
    switch (channel->type) {
    // A player that does not start is reported over this window, which stays open.
    case VideoChannel: LaunchChannel(*m_feedback, m_hWnd, ChannelType::Video, channel->path); break;
    case MusicChannel: LaunchChannel(*m_feedback, m_hWnd, ChannelType::Music, channel->path); break;
    case PageChannel:
        m_resultPath = channel->path;
        EndModal(1);
        break;
    default: break;
    }
}

void ChannelListWnd::JumpTo(const std::wstring& letter) {
    int row = FirstChannelWithKey(m_channels, letter);
    if (row < 0)
        return;
    // The rows above it scroll out at the top; near the end the list stops with its last
    // row at the bottom rather than showing empty space below it.
    int rowOffset = m_list.GetItemPos(row) - m_list.GetTopPos();
    m_list.ScrollTo(m_list.GetHeaderOffset() - rowOffset, false);
}
