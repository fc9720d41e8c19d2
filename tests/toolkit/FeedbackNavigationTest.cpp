// A real navigation on the fixture site with the feedback calls behind real windows: the
// wait dialog is up while the page is fetched and gone after, and a failed download
// asks the user through a message box that a finger answers.

#include "convert/NavigationWorker.h"
#include "fetch/NavigationRequest.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/window/WindowApi.h"
#include "settings/ProgramFolder.h"
#include "support/FixtureSite.h"
#include "toolkit/MessageBoxWnd.h"
#include "toolkit/WindowFeedbackCalls.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <thread>

namespace {

// The cores' interface with its feedback calls on windows; it notes whether the wait
// dialog's window was there right after it was shown and right after it was closed.
class WindowedCoreUi : public CoreUi {
public:
    HWND OwnerWindow() override { return nullptr; }
    void PostShowPlaylist() override { m_rest.PostShowPlaylist(); }
    void Navigate(const std::wstring& address) override { m_rest.Navigate(address); }
    int MessageBox(HWND parent, const std::wstring& text, const std::wstring& caption, UINT type,
                   int homeKeyAnswer) override {
        return m_windows.MessageBox(parent, text, caption, type, homeKeyAnswer);
    }
    int NoticeBox(HWND parent, const std::wstring& text, DWORD milliseconds) override {
        return m_windows.NoticeBox(parent, text, milliseconds);
    }
    void ShowWaitDialog(HWND owner, const RECT* area, int value) override {
        m_windows.ShowWaitDialog(owner, area, value);
        // The dialog comes up on a thread of its own, a moment later on a slow machine.
        for (auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
             !waitShown && std::chrono::steady_clock::now() < giveUp;
             std::this_thread::sleep_for(std::chrono::milliseconds(5)))
            waitShown = FindWindowW(L"WaitDialog", nullptr) != nullptr;
    }
    void CloseWaitDialog() override {
        m_windows.CloseWaitDialog();
        waitGone = FindWindowW(L"WaitDialog", nullptr) == nullptr;
    }
    void ShowProgressDialog(ProgressDescriptor& descriptor, HWND owner) override {
        m_windows.ShowProgressDialog(descriptor, owner);
    }
    void CloseProgressDialog(ProgressDescriptor& descriptor) override { m_windows.CloseProgressDialog(descriptor); }

    std::atomic<bool> waitShown{false}, waitGone{false};

private:
    WindowFeedbackCalls m_windows;
    ScriptedCoreUi m_rest;
};

TEST(WindowedFeedback, ANavigationShowsTheWaitDialogAndAFailureAsksTheUser) {
    FixtureSite site;
    CreateProgramFolders();
    WindowedCoreUi ui;
    // A search on the fixture site: fetched under the wait dialog, converted, written.
    NavigationOutcome outcome = RunNavigation(ui, L"http://so.youku.com/search_video/q_%e5%8a%9f%e5%a4%ab");
    EXPECT_EQ(outcome.result, ClassifyResult::PageWritten);
    EXPECT_TRUE(ui.waitShown);
    EXPECT_TRUE(ui.waitGone);

    std::mutex lock;
    std::wstring shownText;
    HWND box = nullptr;
    const UiButton* ok = nullptr;
    MessageBoxWnd::SetShownObserver([&](MessageBoxWnd& window) {
        std::lock_guard guard(lock);
        shownText = window.Text();
        box = window.GetHwnd();
        ok = window.Button(0);
    });
    ui.waitShown = ui.waitGone = false;
    auto fetched = std::async(std::launch::async, [&] {
        NavigationRequest request(ui);
        return request.Fetch(L"http://127.0.0.1:" + std::to_wstring(RefusedPort()) + L"/",
                             NavigationRequest::FetchMode::Parse);
    });
    for (int i = 0; i < 2500; ++i) {
        {
            std::lock_guard guard(lock);
            if (ok)
                break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::unique_lock guard(lock);
    ASSERT_NE(ok, nullptr) << "no message box came up";
    EXPECT_EQ(shownText.rfind(L"获取数据失败！\r\n 错误码：", 0), 0u) << "the box says why";
    EXPECT_EQ(FindWindowW(L"WaitDialog", nullptr), nullptr) << "the wait dialog went before the box came";
    RECT place = ok->WindowRect();
    LPARAM middle = MAKELPARAM((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    HWND target = box;
    guard.unlock();
    SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    SendMessageW(target, WM_LBUTTONUP, 0, middle);
    EXPECT_FALSE(fetched.get());
    EXPECT_TRUE(ui.waitShown);
    EXPECT_TRUE(ui.waitGone);
    MessageBoxWnd::SetShownObserver(nullptr);
}

} // namespace
