#include "toolkit/WindowFeedbackCalls.h"

#include "platform/base/Time.h"
#include "platform/window/WindowApi.h"
#include "toolkit/MessageBoxWnd.h"
#include "toolkit/NoticeBoxWnd.h"
#include "toolkit/ProgressDialog.h"
#include "toolkit/WaitDialog.h"

#include <atomic>

void CloseBusyIndicators() {
    CloseWaitDialogWindow();
    for (int poll = 0; poll < 2000 && (RunningWaitDialogs() > 0 || RunningProgressDialogs() > 0); ++poll) {
        if (poll % 10 == 0) {
            if (HWND progress = FindProgressDialogWindow())
                SendMessageW(progress, ProgressDialog::CloseMessage, 0, 0);
            if (HWND wait = FindWindowW(L"WaitDialog", nullptr))
                SendMessageW(wait, WaitDialog::CloseMessage, 0, 0);
        }
        Sleep(1);
    }
}

namespace {
std::atomic<bool> feedbackEnded{false};
} // namespace

void EndFeedback() {
    feedbackEnded = true;
    EndMessageBoxes();
}

void ResumeFeedback() {
    feedbackEnded = false;
    AllowMessageBoxes();
}

int WindowFeedbackCalls::MessageBox(HWND parent, const std::wstring& text, const std::wstring& caption, UINT type,
                                    int homeKeyAnswer) {
    return ShowMessageBox(parent, text, caption, type, homeKeyAnswer);
}

int WindowFeedbackCalls::NoticeBox(HWND parent, const std::wstring& text, DWORD milliseconds) {
    if (feedbackEnded)
        return 1;
    return ShowNoticeBox(parent, text, milliseconds);
}

void WindowFeedbackCalls::ShowWaitDialog(HWND owner, const RECT* area, int value) {
    ShowWaitDialogWindow(owner, area, value);
}

void WindowFeedbackCalls::CloseWaitDialog() { CloseWaitDialogWindow(); }

void WindowFeedbackCalls::ShowProgressDialog(ProgressDescriptor& descriptor, HWND owner) {
    ShowProgressDialogWindow(descriptor, owner);
}

void WindowFeedbackCalls::CloseProgressDialog(ProgressDescriptor& descriptor) { CloseProgressDialogWindow(descriptor); }
