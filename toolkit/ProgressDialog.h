#pragma once
// The progress dialog: a bar across the bottom of the work area with a title line, a
// progress bar, a second line and a stop button, run on a thread of its own so that
// the thread that shows it goes on working. ShowProgressDialogWindow starts it and
// CloseProgressDialogWindow ends it; both find it by its class name, "ProgressDialog".
//
// Threads and lifetimes. The dialog is made on the showing thread and copies the
// descriptor's settings there, so that the caller's strings are never read while the
// caller writes them; from then on the dialog object and its window belong to the
// dialog thread, which is detached and deletes the dialog when its modal loop has
// ended. Of the descriptor the dialog thread afterwards only reads the position and the
// bounds and writes the input-panel byte, the stop-pending flag and (clearing it) the
// dialog pointer, all atomics. The descriptor belongs to the caller and must outlive
// the dialog; the dialog thread lets go of it before its window goes, so once the
// window is gone, or the dialog pointer is cleared, the caller may drop it. A dialog
// still open when the process exits is closed and waited for before the window system
// is torn down.

#include "toolkit/FeedbackCalls.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/Image.h"
#include "toolkit/PanelPainter.h"
#include "toolkit/UiToolBar.h"

#include <string>

class ProgressDialog : public CFtHostWnd {
public:
    static constexpr UINT CloseMessage = 3208;
    // wParam non-zero stops the busy timer; 0 starts it with the period lParam (ms).
    static constexpr UINT BusyTimerMessage = 3209;
    static constexpr UINT_PTR BusyTimer = 0x1000088A;
    static constexpr UINT StopBarId = 501;
    static constexpr int LineHeight = 60;

    explicit ProgressDialog(ProgressDescriptor& descriptor);
    ~ProgressDialog() override;

    const wchar_t* GetFtClassName() const override { return L"ProgressDialog"; }
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR timerId) override;
    void OnFtCommand(WPARAM wParam, LPARAM lParam) override;
    void PaintWin(HDC dc, const RECT& rect) override;

    // The window's height: the stop bar and the lines shown, at least the minimum, and
    // while the soft input panel is on at least what the panel covers of the work area
    // (the descriptor then remembers that the panel was on).
    int ChooseHeight();

    // The dialog thread. `dialog` is a ProgressDialog made with new; the thread shows it
    // at the bottom of the work area, runs it and deletes it.
    static DWORD RunThread(LPVOID dialog);

private:
    void StartBusyTimer(UINT period);
    void StopBusyTimer();
    // The snapshot of the screen above the stop bar with the panel drawn in.
    void PrepareBackground(int width, int panelHeight);
    void DrawProgress(HDC dc, int bandTop, int width) const;

    ProgressDescriptor& m_descriptor;
    bool m_showTitleLine;
    bool m_showSecondLine;
    std::wstring m_titleLine;
    std::wstring m_secondLine;
    std::wstring m_stopCaption;
    std::wstring m_windowTitle;
    int m_stopBarHeight;
    int m_minimumHeight;
    bool m_busyTimerOff;
    DWORD m_busyTimerPeriod;
    HWND m_stopTarget;
    UINT m_stopMessage;
    HWND m_owner;

    UiToolBar m_stopBar;
    ToolkitImage* m_track = nullptr;
    ToolkitImage* m_fill = nullptr;
    HFONT m_font = nullptr;
    ScreenSnapshot m_background;
};

// Stores the owner in the descriptor, starts the dialog on a thread of its own and
// waits at most 50 ms for its window. Nothing is started while the descriptor's
// dialog is still up.
void ShowProgressDialogWindow(ProgressDescriptor& descriptor, HWND owner);
// While a progress dialog's window exists, at most 50 times: asks it to close and waits
// 1 ms. Then forgets that the soft input panel was on. Returns at once when none is open.
void CloseProgressDialogWindow(ProgressDescriptor& descriptor);
// Progress dialog threads still running.
int RunningProgressDialogs();
// Asks the open progress dialog to paint the descriptor's position anew.
void RefreshProgressDialogWindow();
// The open progress dialog's window; null when none is open.
HWND FindProgressDialogWindow();
