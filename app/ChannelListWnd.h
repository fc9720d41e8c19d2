#pragma once
// The user's custom channels from "\Data\Channel.ini": a list of their names with the
// letters A to Z over its right edge for jumping to an initial, and a tool bar with
// "返回" and "打开". A stream channel starts the device's video or music player and the
// window stays open; a web channel ends the window with 1 and hands its address back
// for the browser view to open. "返回" ends it with 2.
//
// Made, run modally and destroyed by the main window for each opening; the file is read
// once, at initialisation, and never written. The window, its controls and its channels
// belong to the user-interface thread.

#include "settings/ChannelFile.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/LetterStrip.h"
#include "toolkit/UiList.h"
#include "toolkit/UiStatic.h"
#include "toolkit/UiToolBar.h"
#include "toolkit/WindowFeedbackCalls.h"

#include <string>
#include <vector>

class ChannelListWnd : public CFtHostWnd {
public:
    static constexpr UINT ListId = 2025;
    static constexpr UINT ToolbarId = 2026;
    static constexpr UINT IndexBarId = 2027;
    static constexpr int CaptionHeight = 42;
    static constexpr int ToolbarHeight = 65;
    static constexpr int IndexBarLeft = 430;
    static constexpr int IndexBarWidth = 50;
    // The tool bar's columns; the middle one has no button.
    enum ToolbarButton { BackButton = 0, OpenButton = 2 };

    ChannelListWnd();
    ~ChannelListWnd() override;

    const wchar_t* GetFtClassName() const override { return L"ChannelListWnd"; }
    BOOL OnInitDialog() override;
    void OnFtCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Where the window's message boxes go (tests script them); null: the toolkit's.
    void SetFeedback(FeedbackCalls* feedback) { m_feedback = feedback ? feedback : &m_windowFeedback; }

    // The address of the web channel that ended the window with 1; empty before one did.
    const std::wstring& ResultPath() const { return m_resultPath; }
    // The channels of the file, in file order: the list's rows.
    const std::vector<ChannelEntry>& Channels() const { return m_channels; }
    UiList& List() { return m_list; }
    LetterStrip& IndexBar() { return m_indexBar; }
    UiToolBar& Toolbar() { return m_toolbar; }

    // Does what the row's channel is for; nothing for a row that is none.
    void ActOn(int row);
    // Scrolls the first channel filed under `letter` to the top of the list; nothing
    // moves when no channel is.
    void JumpTo(const std::wstring& letter);

private:
    void LoadChannels();
    // A mouse event of the list, `y` in the list's co-ordinates.
    void OnListMouse(int event, int y);
    void OnToolbarCommand(int button);
    // Selects the row (-1: none) and shows "打开" enabled exactly while a row is selected.
    void Select(int row);
    void ShowOpenButton();
    const ChannelEntry* ChannelAt(int row) const;

    UiCaption m_caption;
    // One row per channel, its name kept clear of the index bar over the rows' right
    // edge; a row's data word is its channel's index.
    UiList m_list;
    LetterStrip m_indexBar;
    UiToolBar m_toolbar;
    std::vector<ChannelEntry> m_channels;
    std::wstring m_resultPath;
    WindowFeedbackCalls m_windowFeedback;
    FeedbackCalls* m_feedback = &m_windowFeedback;
};
