#pragma once
// The feedback calls backed by the toolkit's own windows: message boxes and notices modal
// on the calling thread, the wait and progress dialogs on threads of their own. Holds no
// state; safe to call from any thread.

#include "toolkit/FeedbackCalls.h"

// Closes the wait and progress dialogs still open and waits (up to 2 s) for their
// threads to end: the program's end, before the images and fonts they draw with go.
void CloseBusyIndicators();
// The program's end, before its workers are waited for: message boxes up close with 0,
// and from now on message boxes return 0 and notices 1 at once, without showing.
void EndFeedback();
// Feedback shows again (tests that end it).
void ResumeFeedback();

class WindowFeedbackCalls : public FeedbackCalls {
public:
    // The home-key answer is what the box does when the shell asks about the home key
    // (CFtWnd::OnShellHomeKey): the default keeps the box up and answers the shell.
    int MessageBox(HWND parent, const std::wstring& text, const std::wstring& caption, UINT type,
                   int homeKeyAnswer = HomeKeyStays) override;
    int NoticeBox(HWND parent, const std::wstring& text, DWORD milliseconds) override;
    void ShowWaitDialog(HWND owner, const RECT* area, int value) override;
    void CloseWaitDialog() override;
    void ShowProgressDialog(ProgressDescriptor& descriptor, HWND owner) override;
    void CloseProgressDialog(ProgressDescriptor& descriptor) override;
};
