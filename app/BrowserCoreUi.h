#pragma once
// The browser view as the cores see it from their worker threads: their messages are
// owned by the browser view's window, their feedback calls are the toolkit's windows,
// the play-list message goes to the browser view, and a page they have written is
// shown in the browser (and becomes the current page).

#include "fetch/CoreUi.h"
#include "toolkit/WindowFeedbackCalls.h"

class BrowserWnd;

class BrowserCoreUi final : public CoreUi {
public:
    explicit BrowserCoreUi(BrowserWnd& browser) : m_browser(browser) {}

    int MessageBox(HWND parent, const std::wstring& text, const std::wstring& caption, UINT type,
                   int homeKeyAnswer = HomeKeyStays) override {
        return m_feedback.MessageBox(parent, text, caption, type, homeKeyAnswer);
    }
    int NoticeBox(HWND parent, const std::wstring& text, DWORD milliseconds) override {
        return m_feedback.NoticeBox(parent, text, milliseconds);
    }
    void ShowWaitDialog(HWND owner, const RECT* area, int value) override {
        m_feedback.ShowWaitDialog(owner, area, value);
    }
    void CloseWaitDialog() override { m_feedback.CloseWaitDialog(); }
    void ShowProgressDialog(ProgressDescriptor& descriptor, HWND owner) override {
        m_feedback.ShowProgressDialog(descriptor, owner);
    }
    void CloseProgressDialog(ProgressDescriptor& descriptor) override { m_feedback.CloseProgressDialog(descriptor); }

    HWND OwnerWindow() override;
    void PostShowPlaylist() override;
    // A page the worker has written: it becomes the current page and the browser opens it.
    void Navigate(const std::wstring& address) override;

private:
    BrowserWnd& m_browser;
    WindowFeedbackCalls m_feedback;
};
