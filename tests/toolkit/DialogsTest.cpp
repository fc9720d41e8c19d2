#include "toolkit/OptionMenu.h"
#include "toolkit/ProgressDialog.h"
#include "toolkit/ShellNotify.h"
#include "toolkit/WinManager.h"

#include "platform/base/Time.h"
#include "platform/window/DeviceState.h"
#include "platform/window/WindowApi.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {

// Dispatches what reaches this thread (messages sent from other threads as well) until
// `done` holds or `limit` ms have passed; whether it holds.
bool PumpUntil(const std::function<bool()>& done, DWORD limit = 5000) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        if (done())
            return true;
        if (GetTickCount() - start > limit)
            return false;
        Sleep(1);
    }
}

void TapAt(HWND window, POINT point) {
    LPARAM at = MAKELPARAM(point.x, point.y);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
}

HWND MakeWindow(const wchar_t* className, WNDPROC procedure, RECT place) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass); // a repeated registration fails harmlessly
    return CreateWindowExW(0, className, L"", WS_POPUP, place.left, place.top, place.right - place.left,
                           place.bottom - place.top, nullptr, nullptr, nullptr, nullptr);
}

struct OwnedWindow {
    HWND handle;
    ~OwnedWindow() { DestroyWindow(handle); }
};

// --- Option menu ---

POINT g_tapAt{};

void TapOptionMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    TapAt(FindWindowW(L"OptionMenu", nullptr), g_tapAt);
}

// Taps the open option menu at `point` once the loop of this thread has run `delay` ms;
// the timer's id, to kill it when the menu may end otherwise.
UINT_PTR TapLater(POINT point, UINT delay = 20) {
    g_tapAt = point;
    return SetTimer(nullptr, 0, delay, &TapOptionMenu);
}

UINT IdAt(OptionMenu& menu, int x, int y) {
    UiWin* hit = WinManager::HitTest(&menu.GetWinManager(), x, y);
    return hit ? hit->GetID() : 0;
}

class OptionMenuTest : public ::testing::Test {
protected:
    OptionMenuTest() { SetToolkitQuitting(false); }
    ~OptionMenuTest() override { SetToolkitQuitting(false); }

    static void AddThree(OptionMenu& menu) {
        menu.AddItem(L"Play", 11, 5);
        menu.AddItem(L"Save", 12, 3);
        menu.AddItem(L"Cancel", 13, 1);
    }

    TemporaryRoot m_root;
};

TEST_F(OptionMenuTest, ATapEndsTheRunWithTheItemsIdAndAMenuThatCannotBeMadeGivesZero) {
    OptionMenu menu;
    AddThree(menu);
    // The second item's middle: the first item's top is 109 above the bottom, the second 95 higher.
    TapLater(POINT{240, 720 - 109 - 95 + 47});
    EXPECT_EQ(menu.Run(nullptr, RECT{0, 0, 480, 720}), 12);
    EXPECT_EQ(FindWindowW(L"OptionMenu", nullptr), nullptr);

    HWND gone = MakeWindow(L"DialogsTestPlainWnd", &DefWindowProcW, RECT{0, 0, 10, 10});
    DestroyWindow(gone);
    EXPECT_EQ(menu.Run(gone, RECT{0, 0, 480, 720}), 0);
}

TEST_F(OptionMenuTest, ItemsStandFromTheBottomUpAndTurnToTheBottomOfTheScreen) {
    OptionMenu menu;
    AddThree(menu);
    ASSERT_TRUE(menu.Create(0, 0, 480, 400, nullptr, nullptr, WS_POPUP, 0));
    // Item i: x 8 ... 471, y from 400 − 109 − 95 i, 95 high.
    EXPECT_EQ(IdAt(menu, 8, 291), 11u);
    EXPECT_EQ(IdAt(menu, 471, 385), 11u);
    EXPECT_EQ(IdAt(menu, 7, 291), 0u);
    EXPECT_EQ(IdAt(menu, 240, 386), 0u);
    EXPECT_EQ(IdAt(menu, 240, 290), 12u);
    EXPECT_EQ(IdAt(menu, 240, 101), 13u);
    EXPECT_EQ(IdAt(menu, 240, 100), 0u);

    menu.Show(true, false);
    SendMessageW(menu.GetHwnd(), OptionMenu::TurnMessage, 0, 0);
    // Nothing moves before the paint.
    EXPECT_EQ(menu.GetWindowRect().top, 0);
    menu.Update();
    menu.Update();
    RECT place = menu.GetWindowRect();
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.top, 320);
    EXPECT_EQ(place.right, 480);
    EXPECT_EQ(place.bottom, 720);
    // Item i: x 20 ... 459, y from 400 − 95 (i + 1), down to the window's bottom.
    EXPECT_EQ(IdAt(menu, 20, 305), 11u);
    EXPECT_EQ(IdAt(menu, 459, 399), 11u);
    EXPECT_EQ(IdAt(menu, 19, 305), 0u);
    EXPECT_EQ(IdAt(menu, 240, 304), 12u);
    EXPECT_EQ(IdAt(menu, 240, 115), 13u);
}

TEST_F(OptionMenuTest, DeviceEventsCloseOnlyAMenuWiderThan480) {
    for (UINT event : {CallMessageId(), LockphoneMessageId(), ShutDownMessageId(), MusicMessageId()}) {
        OptionMenu wide;
        AddThree(wide);
        ASSERT_TRUE(wide.Create(0, 240, 720, 480, nullptr, nullptr, WS_POPUP, 0));
        wide.Post(event, 0, 0);
        // Should the event be ignored, a tap on the first item ends the menu instead.
        UINT_PTR fallback = TapLater(POINT{360, 480 - 109 + 47}, 500);
        EXPECT_EQ(wide.DoModal(), 0) << event;
        KillTimer(nullptr, fallback);
    }
    OptionMenu narrow;
    AddThree(narrow);
    ASSERT_TRUE(narrow.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0));
    narrow.Post(LockphoneMessageId(), 0, 0);
    TapLater(POINT{240, 720 - 109 + 47});
    EXPECT_EQ(narrow.DoModal(), 11);
}

// --- Progress dialog ---

constexpr UINT StopMessage = WM_USER + 24;
std::atomic<int> g_stops{0};
std::atomic<int> g_stopsWithArguments{0};

LRESULT CountStops(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != StopMessage)
        return DefWindowProcW(window, message, wParam, lParam);
    ++g_stops;
    if (wParam || lParam)
        ++g_stopsWithArguments;
    return 0;
}

class ProgressDialogTest : public ::testing::Test {
protected:
    ProgressDialogTest() {
        SetToolkitQuitting(false);
        platform::SetInputPanel(false, RECT{});
        g_stops = 0;
        g_stopsWithArguments = 0;
        descriptor.titleLine = L"Loading the page";
        descriptor.secondLine = L"12 KB";
        descriptor.stopCaption = L"停止";
        descriptor.stopBarHeight = 70;
        descriptor.busyTimerOff = true;
        descriptor.position = 40;
    }
    ~ProgressDialogTest() override {
        EXPECT_TRUE(CloseAndWait());
        platform::SetInputPanel(false, RECT{});
    }

    // The dialog's window once it is up (the show call waits 50 ms at most).
    HWND ShowAndWait(HWND owner = nullptr) {
        ShowProgressDialogWindow(descriptor, owner);
        PumpUntil([] { return FindProgressDialogWindow() != nullptr; });
        return FindProgressDialogWindow();
    }
    // Closes until the window is gone and the dialog has let go of the descriptor;
    // the close call itself gives a slow machine 50 ms only.
    bool CloseAndWait() {
        return PumpUntil([this] {
            if (!FindProgressDialogWindow() && !descriptor.dialog.load())
                return true;
            CloseProgressDialogWindow(descriptor);
            return false;
        });
    }

    TemporaryRoot m_root;
    ProgressDescriptor descriptor;
};

TEST_F(ProgressDialogTest, ShownOnItsOwnThreadAtTheBottomAndClosedByClassNameFromAnother) {
    auto start = std::chrono::steady_clock::now();
    CloseProgressDialogWindow(descriptor);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(25));

    // The owner starts below the screen's top: the dialog still stands on the work area's bottom.
    OwnedWindow owner{MakeWindow(L"DialogsTestPlainWnd", &DefWindowProcW, RECT{0, 40, 480, 720})};
    ShowWindow(owner.handle, SW_SHOW);
    HWND dialog = ShowAndWait(owner.handle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(descriptor.dialog.load(), nullptr);
    RECT place{};
    GetWindowRect(dialog, &place);
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.right, 480);
    EXPECT_EQ(place.bottom, 720);
    EXPECT_EQ(place.top, 720 - (70 + 60 + 60)); // stop bar, progress bar, title line

    std::atomic<bool> closed{false};
    std::thread closer([&] {
        CloseProgressDialogWindow(descriptor);
        closed = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return closed.load(); }));
    closer.join();
    EXPECT_TRUE(PumpUntil([&] { return !FindProgressDialogWindow() && !descriptor.dialog.load(); }));
}

TEST_F(ProgressDialogTest, TheStopButtonPostsTheStopMessageOnlyWhenItHasACaption) {
    OwnedWindow target{MakeWindow(L"DialogsTestStopTargetWnd", &CountStops, RECT{0, 0, 10, 10})};
    descriptor.stopTarget = target.handle;
    descriptor.stopMessage = StopMessage;
    descriptor.stopPending = true;
    HWND dialog = ShowAndWait();
    ASSERT_NE(dialog, nullptr);
    RECT client{};
    GetClientRect(dialog, &client);
    POINT stopButton{client.right / 6, client.bottom - 35};
    TapAt(dialog, stopButton);
    EXPECT_TRUE(PumpUntil([&] { return g_stops.load() == 1 && !descriptor.stopPending.load(); }));
    EXPECT_EQ(g_stopsWithArguments.load(), 0);
    ASSERT_TRUE(CloseAndWait());

    // Without a caption the button shows the default one and is disabled. The dialog
    // handles the tap before it takes the close, so whatever it posts is queued by then.
    descriptor.stopCaption.clear();
    dialog = ShowAndWait();
    ASSERT_NE(dialog, nullptr);
    TapAt(dialog, stopButton);
    ASSERT_TRUE(CloseAndWait());
    PumpUntil([] { return true; });
    EXPECT_EQ(g_stops.load(), 1);
}

TEST_F(ProgressDialogTest, TheBusyTimerKeepsTheDeviceAwakeUntilTurnedOff) {
    descriptor.busyTimerOff = false;
    descriptor.busyTimerPeriod = 10;
    unsigned before = platform::IdleTimerResets();
    HWND dialog = ShowAndWait();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return platform::IdleTimerResets() >= before + 3; }));

    SendMessageW(dialog, ProgressDialog::BusyTimerMessage, 1, 0);
    unsigned stopped = platform::IdleTimerResets();
    Sleep(60);
    EXPECT_EQ(platform::IdleTimerResets(), stopped);

    SendMessageW(dialog, ProgressDialog::BusyTimerMessage, 0, 10);
    EXPECT_TRUE(PumpUntil([&] { return platform::IdleTimerResets() > stopped; }));
}

TEST_F(ProgressDialogTest, TheHeightFollowsTheLinesTheMinimumAndTheInputPanel) {
    struct Case {
        bool title, second;
        int minimum;
        bool panelOn;
        int panelTop;
        int height;
    };
    const Case cases[] = {
        {true, true, 0, false, 0, 70 + 180}, {false, false, 0, false, 0, 70 + 60}, {true, false, 300, false, 0, 300},
        {true, true, 0, true, 400, 320}, // the panel covers the work area's lowest 320 rows
        {true, true, 0, true, 600, 250}, // a lower panel leaves the height as it is
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << "title " << test.title << ", second " << test.second << ", minimum "
                                        << test.minimum << ", panel " << test.panelOn << " at " << test.panelTop);
        descriptor.showTitleLine = test.title;
        descriptor.showSecondLine = test.second;
        descriptor.minimumHeight = test.minimum;
        platform::SetInputPanel(test.panelOn, RECT{0, test.panelTop, 480, 720});
        HWND dialog = ShowAndWait();
        ASSERT_NE(dialog, nullptr);
        RECT place{};
        GetWindowRect(dialog, &place);
        EXPECT_EQ(place.bottom - place.top, test.height);
        EXPECT_EQ(place.bottom, 720);
        EXPECT_EQ(descriptor.inputPanelWasOn.load(), test.panelOn ? 1 : 0);
        ASSERT_TRUE(CloseAndWait());
        EXPECT_EQ(descriptor.inputPanelWasOn.load(), 0);
    }
}

} // namespace
