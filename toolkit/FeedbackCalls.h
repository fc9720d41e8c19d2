#pragma once
// The six calls by which every part of the program tells the user about a result, asks
// a question or shows that it is busy. They may be made from any thread. Message boxes
// and notices run on the calling thread; the wait and progress dialogs run on threads
// of their own and are found and closed by their window-class names ("WaitDialog",
// "ProgressDialog"), so closing one that is not open returns at once.

#include "platform/base/Win32Types.h"

#include <atomic>
#include <cstdint>
#include <string>

// Message box types: the buttons shown and the results they give.
constexpr UINT MessageBoxOk = 0;               // OK → 1
constexpr UINT MessageBoxOkCancel = 1;         // OK → 1, Cancel → 2
constexpr UINT MessageBoxAbortRetryIgnore = 2; // Abort → 2, Retry → 1, Ignore → 3
constexpr UINT MessageBoxNoYesCancel = 3;      // No → 2, Yes → 1, Cancel → 2
constexpr UINT MessageBoxYesNo = 4;            // Yes → 1, No → 2
constexpr UINT MessageBoxCancelRetry = 5;      // Cancel → 2, Retry → 1

constexpr int ResultClosed = 0; // closed by the system, or the box could not be made
constexpr int ResultYes = 1;    // OK, yes or retry
constexpr int ResultNo = 2;     // cancel, no or abort
constexpr int ResultIgnore = 3;

constexpr DWORD NoticeMilliseconds = 2000;

// What a message box does on the home key, as a window's home-key action: it stays up
// and tells the shell so. (0 or 1 would quit the program, 3 also let the back buffer go.)
constexpr int HomeKeyStays = 2;

// Filled by the caller, read by the progress dialog on its own thread.
struct ProgressDescriptor {
    bool showTitleLine = true;
    bool showSecondLine = false;
    std::wstring titleLine;
    std::wstring secondLine;
    std::wstring stopCaption;
    std::wstring windowTitle;
    std::atomic<std::int64_t> position{0};
    std::atomic<std::int64_t> lowerBound{0};
    std::atomic<std::int64_t> upperBound{100};
    int stopBarHeight = 0;
    int minimumHeight = 0;
    std::atomic<BYTE> inputPanelWasOn{0};
    bool busyTimerOff = false;
    DWORD busyTimerPeriod = 0;
    HWND stopTarget = nullptr;
    UINT stopMessage = 0;
    std::atomic<bool> stopPending{false};
    std::atomic<bool> closeRequested{false}; // a close asked for while the dialog was on its way
    HWND owner = nullptr;
    std::atomic<void*> dialog{nullptr};
};

class FeedbackCalls {
public:
    virtual ~FeedbackCalls() = default;

    virtual int MessageBox(HWND parent, const std::wstring& text, const std::wstring& caption, UINT type,
                           int homeKeyAnswer = HomeKeyStays) = 0;
    virtual int NoticeBox(HWND parent, const std::wstring& text, DWORD milliseconds) = 0;
    virtual void ShowWaitDialog(HWND owner, const RECT* area, int value) = 0;
    virtual void CloseWaitDialog() = 0;
    virtual void ShowProgressDialog(ProgressDescriptor& descriptor, HWND owner) = 0;
    virtual void CloseProgressDialog(ProgressDescriptor& descriptor) = 0;
};
