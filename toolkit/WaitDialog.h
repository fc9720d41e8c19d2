#pragma once
// The wait animation: twelve frames turning over a copy of what the screen showed, on a
// thread of its own so that the thread that asked for it goes on working. Any thread
// closes it by its window-class name, "WaitDialog".

#include "toolkit/FtHostWnd.h"
#include "toolkit/Image.h"
#include "toolkit/PanelPainter.h"

#include <functional>

class WaitDialog : public CFtHostWnd {
public:
    static constexpr UINT_PTR FrameTimer = 102;
    static constexpr UINT FramePeriod = 100; // milliseconds
    static constexpr UINT CloseMessage = 1184;
    static constexpr int FrameCount = 12;

    // `panel`: a dark box behind the frames (the value the callers pass: any but 0).
    explicit WaitDialog(bool panel);

    const wchar_t* GetFtClassName() const override { return L"WaitDialog"; }
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR timerId) override;
    void PaintWin(HDC dc, const RECT& rect) override;
    int Frame() const { return m_frame; }

    // Called on the dialog's thread with each new frame once it is painted, and the tick
    // count of the timer that brought it; null for none.
    static void SetFrameObserver(std::function<void(int frame, DWORD tick)> observer);

private:
    bool m_panel;
    ScreenSnapshot m_snapshot;
    ToolkitImage* m_frames[FrameCount]{};
    int m_frame = -1;
};

// Starts the animation over `area` (100 × 100 in the middle of the work area when null)
// on a thread of its own; returns once its window exists, or after 50 polls 1 ms apart.
void ShowWaitDialogWindow(HWND owner, const RECT* area, int value);
// While a wait dialog exists, at most 50 times: asks it to close and waits 1 ms. A dialog
// shown before and still on its way closes as soon as its window is made.
void CloseWaitDialogWindow();
// Wait dialog threads still running.
int RunningWaitDialogs();
