#pragma once
// A CoreUi without windows: it records every call in order and answers message boxes
// from a queue of answers (1, yes, when the queue is empty). Thread-safe.

#include "fetch/CoreUi.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

struct FeedbackRecord {
    enum class Kind { MessageBox, NoticeBox, ShowWait, CloseWait, ShowProgress, CloseProgress, ShowPlaylist, Navigate };

    Kind kind;
    HWND owner = nullptr;
    std::wstring text; // message, notice, or the address navigated to
    std::wstring caption;
    UINT type = 0;
    DWORD duration = 0;
    int answer = 0;
    bool wasOpen = false; // for the close calls: whether a dialog was open
};

class ScriptedCoreUi : public CoreUi {
public:
    // The browser view's window as the scripted owner: a value no real window has.
    static HWND BrowserWindow() { return reinterpret_cast<HWND>(std::uintptr_t{0xB0}); }

    void QueueAnswer(int answer);
    std::vector<FeedbackRecord> Records() const;
    // Forgets the calls recorded so far (the dialogs' states stay).
    void ClearRecords();
    bool WaitDialogOpen() const;
    bool ProgressDialogOpen() const;

    HWND OwnerWindow() override { return BrowserWindow(); }
    void PostShowPlaylist() override;
    void Navigate(const std::wstring& address) override;
    int MessageBox(HWND parent, const std::wstring& text, const std::wstring& caption, UINT type,
                   int homeKeyAnswer = HomeKeyStays) override;
    int NoticeBox(HWND parent, const std::wstring& text, DWORD milliseconds) override;
    void ShowWaitDialog(HWND owner, const RECT* area, int value) override;
    void CloseWaitDialog() override;
    void ShowProgressDialog(ProgressDescriptor& descriptor, HWND owner) override;
    void CloseProgressDialog(ProgressDescriptor& descriptor) override;

private:
    void Record(FeedbackRecord record);

    mutable std::mutex m_lock;
    std::vector<FeedbackRecord> m_records;
    std::deque<int> m_answers;
    bool m_waitOpen = false;
    bool m_progressOpen = false;
};

// One line for a record, for people: kind, then its fields; line breaks in texts as \r \n.
std::string DescribeFeedback(const FeedbackRecord& record);
