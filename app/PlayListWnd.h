#pragma once
// The parts of a video that resolved into several streams, from "\Data\video.m3u": one
// row per part, and a tool bar with "返回", "连续播放" and "播放". A part plays in the
// device's video player on "播放" or a double tap; continuous play plays the selected
// part (the first when none is) and every one after it, waiting for the player to end
// and then three seconds before the next. The middle button reads "停止" meanwhile and
// stops it, also during the pause.
//
// Made, run modally and destroyed by the browser view for each play list it is told
// of. While a part plays continuously the window's thread waits for the player: the
// window neither paints nor reacts until the player ends. The window, its controls and
// its entries belong to the user-interface thread.

#include "playback/PlaylistFile.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/UiList.h"
#include "toolkit/UiStatic.h"
#include "toolkit/UiToolBar.h"
#include "toolkit/WindowFeedbackCalls.h"

#include <vector>

class PlayListWnd : public CFtHostWnd {
public:
    // The list's notifications and the tool bar's commands arrive as different messages,
    // so the two share their identifier.
    static constexpr UINT ListId = 2025;
    static constexpr UINT ToolbarId = 2025;
    static constexpr UINT_PTR ContinueTimer = 2524;
    static constexpr UINT ContinuePause = 3000;
    static constexpr int CaptionHeight = 42;
    static constexpr int ToolbarHeight = 65;
    enum ToolbarButton { BackButton = 0, ContinuousButton = 1, PlayButton = 2 };

    PlayListWnd();
    ~PlayListWnd() override;

    const wchar_t* GetFtClassName() const override { return L"PlayListWnd"; }
    BOOL OnInitDialog() override;
    void OnFtCommand(WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR timerId) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Where the window's message boxes go (tests script them); null: the toolkit's.
    void SetFeedback(FeedbackCalls* feedback) { m_feedback = feedback ? feedback : &m_windowFeedback; }

    // The parts of the file, in file order: the list's rows.
    const std::vector<PlaylistEntry>& Entries() const { return m_entries; }
    bool IsContinuous() const { return m_continuous; }
    // Whether the pause before the next part is running.
    bool ContinuePending() const { return m_continueTimer != 0; }
    UiList& List() { return m_list; }
    UiToolBar& Toolbar() { return m_toolbar; }

private:
    void LoadEntries();
    // A mouse event of the list, `y` in the list's co-ordinates.
    void OnListMouse(int event, int y);
    void OnToolbarCommand(int button);
    // Selects the row (-1: none) and shows "播放" enabled exactly while a row is selected.
    void Select(int row);
    const PlaylistEntry* EntryAt(int row) const;
    // Starts the video player on the row's part, telling the user when it does not
    // start; nothing for a row that is none.
    void Play(int row);
    void StartContinuous();
    // Plays one part to its end, then selects the next and starts the pause before it,
    // or stops after the last.
    void ContinuousStep();
    void StopContinuous();
    void KillContinueTimer();
    void ShowLaunchFailure();

    UiCaption m_caption;
    // One row per part, showing its title; a row's data word is its entry's index.
    UiList m_list;
    UiToolBar m_toolbar;
    std::vector<PlaylistEntry> m_entries;
    bool m_continuous = false;
    UINT_PTR m_continueTimer = 0;
    WindowFeedbackCalls m_windowFeedback;
    FeedbackCalls* m_feedback = &m_windowFeedback;
};
