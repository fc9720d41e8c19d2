#include "toolkit/MessageBoxWnd.h"
#include "toolkit/NoticeBoxWnd.h"
#include "toolkit/ProgressDialog.h"
#include "toolkit/ShellNotify.h"
#include "toolkit/WaitDialog.h"
#include "toolkit/WindowFeedbackCalls.h"

#include "platform/base/Time.h"
#include "platform/window/DeviceState.h"
#include "platform/window/ShellStandIn.h"
#include "platform/window/WindowApi.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Waits (up to 5 s) for a window of the class to appear on any thread.
HWND AwaitWindow(const wchar_t* className) {
    for (int i = 0; i < 2500; ++i) {
        if (HWND window = FindWindowW(className, nullptr))
            return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return nullptr;
}

// Taps the middle of a control of a window that lives on another thread.
void TapAcross(HWND window, const UiWin& control) {
    RECT place = control.WindowRect();
    LPARAM middle = MAKELPARAM((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    SendMessageW(window, WM_LBUTTONUP, 0, middle);
}

class PaintCounter : public CFtHostWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"PaintCounterWnd"; }
    void PaintWin(HDC, const RECT&) override { ++paints; }
    std::atomic<int> paints{0};
};

class FeedbackTest : public ::testing::Test {
protected:
    ~FeedbackTest() override {
        MessageBoxWnd::SetShownObserver(nullptr);
        WaitDialog::SetFrameObserver(nullptr);
        platform::SetUserInterfaceLanguage(0x0804);
    }
    TemporaryRoot m_root;
    WindowFeedbackCalls calls;
};

TEST(MessageBoxButtons, EachTypeHasItsButtonsInTheLanguageOfTheDevice) {
    struct Case {
        UINT type;
        std::vector<UINT> ids;
        std::vector<std::wstring> chinese, english;
    };
    const Case cases[] = {
        {0, {101}, {L"确认"}, {L"OK"}},
        {1, {103, 104}, {L"确认", L"取消"}, {L"OK", L"Cancel"}},
        {2, {106, 105, 107}, {L"中止", L"重试", L"忽略"}, {L"Abort", L"Retry", L"Ignore"}},
        {3, {104, 103, 102}, {L"否", L"是", L"取消"}, {L"No", L"Yes", L"Cancel"}},
        {4, {103, 104}, {L"是", L"否"}, {L"Yes", L"No"}},
        {5, {102, 105}, {L"取消", L"重试"}, {L"Cancel", L"Retry"}},
    };
    for (const Case& test : cases) {
        const ButtonSpec* specs = ButtonsOf(test.type);
        for (std::size_t i = 0; i < 3; ++i) {
            if (i >= test.ids.size()) {
                EXPECT_EQ(specs[i].id, 0u) << test.type;
                continue;
            }
            EXPECT_EQ(specs[i].id, test.ids[i]) << test.type;
            platform::SetUserInterfaceLanguage(0x0804);
            EXPECT_EQ(ButtonCaption(specs[i].word), test.chinese[i]) << test.type;
            platform::SetUserInterfaceLanguage(0x0409);
            EXPECT_EQ(ButtonCaption(specs[i].word), test.english[i]) << test.type;
            platform::SetUserInterfaceLanguage(0x0411);
            EXPECT_EQ(ButtonCaption(specs[i].word), L"") << test.type;
        }
    }
    platform::SetUserInterfaceLanguage(0x0804);
    EXPECT_EQ(ResultOfCommand(105), ResultYes);
    EXPECT_EQ(ResultOfCommand(106), ResultNo);
    EXPECT_EQ(ResultOfCommand(107), ResultIgnore);
}

TEST_F(FeedbackTest, AQuestionAskedFromAWorkerIsAnsweredByATap) {
    std::mutex lock;
    const UiButton* no = nullptr;
    MessageBoxWnd::SetShownObserver([&](MessageBoxWnd& box) {
        std::lock_guard guard(lock);
        no = box.Button(1);
    });
    auto answer = std::async(std::launch::async,
                             [&] { return calls.MessageBox(nullptr, L"删除这个收藏？", L"提醒", MessageBoxYesNo); });
    HWND box = AwaitWindow(L"FtMessageBox");
    ASSERT_NE(box, nullptr);
    for (int i = 0; i < 2500; ++i) {
        {
            std::lock_guard guard(lock);
            if (no)
                break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const UiButton* button;
    {
        std::lock_guard guard(lock);
        button = no;
    }
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(std::wstring(button->GetText()), L"否");
    TapAcross(box, *button);
    EXPECT_EQ(answer.get(), ResultNo);
    EXPECT_EQ(FindWindowW(L"FtMessageBox", nullptr), nullptr);
}

TEST_F(FeedbackTest, TheSystemClosesABoxWithZeroAndTheHomeKeyLeavesItUp) {
    auto answer = std::async(std::launch::async, [&] { return calls.MessageBox(nullptr, L"提示", L"", MessageBoxOk); });
    HWND box = AwaitWindow(L"FtMessageBox");
    ASSERT_NE(box, nullptr);
    // The home key: the box answers the shell that it stays.
    std::size_t before = platform::ShellAnswers().size();
    SendMessageW(box, RegisterWindowMessageW(L"ShellNotifyMsg/ClickMKey"), 0,
                 reinterpret_cast<LPARAM>(platform::ShellStandInWindow()));
    std::vector<LPARAM> answers = platform::ShellAnswers();
    for (int i = 0; i < 500 && answers.size() == before; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        answers = platform::ShellAnswers();
    }
    ASSERT_EQ(answers.size(), before + 1);
    EXPECT_EQ(answers.back(), 1);
    EXPECT_TRUE(IsWindow(box));
    SendMessageW(box, MessageBoxWnd::CloseMessage, 0, 2); // swallowed
    EXPECT_TRUE(IsWindow(box));
    SendMessageW(box, MessageBoxWnd::CloseMessage, 0, 1);
    EXPECT_EQ(answer.get(), ResultClosed);
    // The shell's lock event closes a box the same way.
    answer = std::async(std::launch::async, [&] { return calls.MessageBox(nullptr, L"b", L"", MessageBoxYesNo); });
    box = AwaitWindow(L"FtMessageBox");
    ASSERT_NE(box, nullptr);
    SendMessageW(box, LockphoneMessageId(), 0, 0);
    EXPECT_EQ(answer.get(), ResultClosed);
}

TEST_F(FeedbackTest, BoxesThatCannotBeMadeReturnTheirFailureValues) {
    HWND gone = reinterpret_cast<HWND>(std::uintptr_t{0x7FFFF0});
    EXPECT_EQ(calls.MessageBox(gone, L"x", L"", MessageBoxOk), ResultClosed);
    EXPECT_EQ(calls.NoticeBox(gone, L"x", 2000), 1);
}

TEST_F(FeedbackTest, ANoticeClosesItselfAfterItsTime) {
    DWORD start = GetTickCount();
    EXPECT_EQ(calls.NoticeBox(nullptr, L"已添加到收藏夹", 60), 1);
    EXPECT_GE(GetTickCount() - start, 60u);
    EXPECT_EQ(FindWindowW(L"FtNoticeBox", nullptr), nullptr);
}

TEST_F(FeedbackTest, TheWaitAnimationTurnsOnItsOwnThreadUntilAnotherThreadClosesIt) {
    std::mutex lock;
    std::vector<std::pair<int, DWORD>> frames;
    WaitDialog::SetFrameObserver([&](int frame, DWORD tick) {
        std::lock_guard guard(lock);
        frames.push_back({frame, tick});
    });
    // Closing with nothing open returns at once.
    DWORD start = GetTickCount();
    calls.CloseWaitDialog();
    EXPECT_LT(GetTickCount() - start, 40u);

    PaintCounter owner;
    ASSERT_TRUE(owner.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0));
    owner.Show(true, true);
    std::thread([&] { calls.ShowWaitDialog(owner.GetHwnd(), nullptr, 1); }).join();
    HWND dialog = FindWindowW(L"WaitDialog", nullptr);
    ASSERT_NE(dialog, nullptr) << "shown before the call returned";
    // The owner's thread goes on: it paints while the frames turn.
    int paintsBefore = owner.paints;
    for (int i = 0; i < 2500; ++i) {
        {
            std::lock_guard guard(lock);
            if (frames.size() >= 14)
                break;
        }
        owner.Invalidate(nullptr, false);
        owner.Update();
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_GT(owner.paints, paintsBefore + 10);
    std::thread([&] { calls.CloseWaitDialog(); }).join();
    EXPECT_EQ(FindWindowW(L"WaitDialog", nullptr), nullptr);
    owner.Destroy();
    std::lock_guard guard(lock);
    ASSERT_GE(frames.size(), 14u);
    for (std::size_t i = 0; i < 14; ++i) {
        EXPECT_EQ(frames[i].first, static_cast<int>(i % 12));
        // Timers never fire early: each frame stays at least its period.
        if (i > 0) {
            EXPECT_GE(frames[i].second - frames[i - 1].second, 95u) << i;
        }
    }
}

TEST_F(FeedbackTest, TheBusyIndicatorsAreGoneWithTheirThreadsWhenTheCallsReturn) {
    ProgressDescriptor descriptor;
    descriptor.stopBarHeight = 65;
    calls.ShowProgressDialog(descriptor, nullptr);
    calls.CloseProgressDialog(descriptor);
    EXPECT_EQ(descriptor.dialog.load(), nullptr) << "the caller may drop the descriptor now";
    // At the program's end both indicators close and their threads are waited for.
    calls.ShowWaitDialog(nullptr, nullptr, 1);
    calls.ShowProgressDialog(descriptor, nullptr);
    CloseBusyIndicators();
    EXPECT_EQ(RunningWaitDialogs(), 0);
    EXPECT_EQ(RunningProgressDialogs(), 0);
    EXPECT_EQ(FindWindowW(L"WaitDialog", nullptr), nullptr);
    EXPECT_EQ(FindWindowW(L"ProgressDialog", nullptr), nullptr);
}

} // namespace
