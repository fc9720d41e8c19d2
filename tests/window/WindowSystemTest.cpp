#include "platform/window/Input.h"
#include "platform/window/WindowApi.h"
#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>
#include <vector>

namespace {

constexpr UINT CloseDialog = 1184;
constexpr UINT Double = WM_USER + 1;
constexpr UINT AskBack = WM_USER + 2;
constexpr UINT Answer = WM_USER + 3;

HWND g_owner = nullptr;

LRESULT OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == Answer)
        return 42;
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case Double: return static_cast<LRESULT>(wParam * 2);
    case AskBack: return SendMessageW(g_owner, Answer, 0, 0) + 1;
    case CloseDialog:
        DestroyWindow(window);
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void Register(LPCWSTR name, WNDPROC procedure, UINT style = 0) {
    WNDCLASSW windowClass{};
    windowClass.lpszClassName = name;
    windowClass.lpfnWndProc = procedure;
    windowClass.style = style;
    ASSERT_NE(RegisterClassW(&windowClass), 0);
}

// Runs a message loop until WM_QUIT or the deadline, so a hung loop fails the test.
void PumpFor(std::chrono::milliseconds time) {
    auto end = std::chrono::steady_clock::now() + time;
    MSG message;
    while (std::chrono::steady_clock::now() < end) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TEST(Messages, ADialogOnItsOwnThreadAnswersAndIsClosedByClassName) {
    Register(L"OwnerWnd", &OwnerProc);
    Register(L"WaitDialog", &DialogProc);
    g_owner = CreateWindowExW(0, L"OwnerWnd", L"owner", WS_POPUP, 0, 0, 480, 720, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(g_owner, nullptr);

    std::promise<HWND> created;
    std::thread dialogThread([&] {
        HWND dialog = CreateWindowExW(0, L"WaitDialog", L"", WS_POPUP | WS_VISIBLE, 190, 310, 100, 100, nullptr,
                                      nullptr, nullptr, nullptr);
        created.set_value(dialog);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
    });
    HWND dialog = created.get_future().get();
    EXPECT_EQ(SendMessageW(dialog, Double, 21, 0), 42);
    // The dialog's thread asks the waiting sender back: the sender answers meanwhile.
    EXPECT_EQ(SendMessageW(dialog, AskBack, 0, 0), 43);

    std::thread closer([] {
        HWND found = FindWindowW(L"waitdialog", nullptr);
        ASSERT_NE(found, nullptr);
        SendMessageW(found, CloseDialog, 0, 0);
    });
    closer.join();
    dialogThread.join();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(FindWindowW(L"WaitDialog", nullptr), nullptr);
    DestroyWindow(g_owner);
}

std::vector<UINT> g_seen;

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER || message == WM_PAINT || message == WM_DESTROY || message == WM_USER)
        g_seen.push_back(message);
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Messages, PostedMessagesComeBeforePaintAndQuitEndsTheLoop) {
    Register(L"RecordWnd", &RecordingProc);
    g_seen.clear();
    HWND window =
        CreateWindowExW(0, L"RecordWnd", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    PostMessageW(window, WM_USER, 0, 0);
    PostQuitMessage(3);
    MSG message;
    int loops = 0;
    while (GetMessageW(&message, nullptr, 0, 0) > 0 && ++loops < 100)
        DispatchMessageW(&message);
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 3u);
    // The posted message came first; the window's first paint waits for an empty queue.
    ASSERT_FALSE(g_seen.empty());
    EXPECT_EQ(g_seen.front(), WM_USER);
    PumpFor(std::chrono::milliseconds(20));
    EXPECT_EQ(std::count(g_seen.begin(), g_seen.end(), WM_PAINT), 1);
    DestroyWindow(window);
}

TEST(Timers, TickAndStopWhenKilled) {
    Register(L"TimerWnd", &RecordingProc);
    HWND window = CreateWindowExW(0, L"TimerWnd", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    g_seen.clear();
    ASSERT_EQ(SetTimer(window, 7, 10, nullptr), 7u);
    PumpFor(std::chrono::milliseconds(120));
    auto ticks = std::count(g_seen.begin(), g_seen.end(), WM_TIMER);
    EXPECT_GE(ticks, 4);
    EXPECT_LE(ticks, 13);
    EXPECT_TRUE(KillTimer(window, 7));
    g_seen.clear();
    PumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(std::count(g_seen.begin(), g_seen.end(), WM_TIMER), 0);
    EXPECT_FALSE(KillTimer(window, 7));
    DestroyWindow(window);
}

TEST(Painting, HidingAWindowRepaintsWhatItCovered) {
    Register(L"PaintWnd", &RecordingProc);
    HWND below =
        CreateWindowExW(0, L"PaintWnd", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    HWND above = CreateWindowExW(0, L"PaintWnd", L"", WS_POPUP | WS_VISIBLE, 100, 50, 200, 200, nullptr, nullptr,
                                 nullptr, nullptr);
    PumpFor(std::chrono::milliseconds(10));
    RECT update;
    EXPECT_FALSE(GetUpdateRect(below, &update, FALSE));
    ShowWindow(above, SW_HIDE);
    ASSERT_TRUE(GetUpdateRect(below, &update, FALSE));
    EXPECT_EQ(update.left, 100);
    EXPECT_EQ(update.top, 50);
    EXPECT_EQ(update.right, 200);
    EXPECT_EQ(update.bottom, 200);
    // Only the window below is painted again: the hidden one draws nothing.
    g_seen.clear();
    PumpFor(std::chrono::milliseconds(10));
    EXPECT_EQ(std::count(g_seen.begin(), g_seen.end(), WM_PAINT), 1);
    DestroyWindow(above);
    DestroyWindow(below);
}

TEST(Windows, DestroyingAParentDestroysItsChildren) {
    Register(L"TreeWnd", &RecordingProc);
    HWND parent = CreateWindowExW(0, L"TreeWnd", L"main", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    HWND first = CreateWindowExW(0, L"TreeWnd", L"", WS_CHILD, 0, 0, 10, 10, parent, reinterpret_cast<HMENU>(5),
                                 nullptr, nullptr);
    HWND second = CreateWindowExW(0, L"TreeWnd", L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), second); // the newest child is on top
    EXPECT_EQ(GetWindow(second, GW_HWNDNEXT), first);
    EXPECT_EQ(GetWindowLongW(first, GWL_ID), 5);
    EXPECT_EQ(GetParent(first), parent);
    EXPECT_EQ(FindWindowW(nullptr, L"main"), parent);
    SetFocus(first);
    g_seen.clear();
    EXPECT_TRUE(DestroyWindow(parent));
    EXPECT_EQ(std::count(g_seen.begin(), g_seen.end(), WM_DESTROY), 3);
    for (HWND window : {parent, first, second})
        EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(SendMessageW(first, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessageW(first, WM_USER, 0, 0));
    EXPECT_EQ(RegisterWindowMessageW(L"QuilloraShellEvent"), RegisterWindowMessageW(L"quillorashellevent"));
}

std::vector<MSG> Drain() {
    std::vector<MSG> messages;
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
        messages.push_back(message);
    return messages;
}

TEST(Input, TouchesReachTheWindowUnderTheFingerOrTheCapture) {
    Register(L"TouchWnd", &DefWindowProcW);
    HWND parent = CreateWindowExW(0, L"TouchWnd", L"", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND child =
        CreateWindowExW(0, L"TouchWnd", L"", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, parent, nullptr, nullptr, nullptr);
    EXPECT_EQ(platform::InjectTouch(platform::TouchPhase::Down, {120, 115}), child);
    EXPECT_EQ(platform::InjectTouch(platform::TouchPhase::Down, {250, 250}), parent);
    std::vector<MSG> messages = Drain();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(GET_X_LPARAM(messages[0].lParam), 10);
    EXPECT_EQ(GET_Y_LPARAM(messages[0].lParam), 5);
    EXPECT_EQ(messages[1].hwnd, parent);
    EXPECT_EQ(GET_X_LPARAM(messages[1].lParam), 150);

    SetCapture(child);
    EXPECT_EQ(platform::InjectTouch(platform::TouchPhase::Move, {400, 600}), child);
    ReleaseCapture();
    EXPECT_EQ(platform::InjectTouch(platform::TouchPhase::Up, {400, 600}), nullptr);
    messages = Drain();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(messages[0].wParam, MK_LBUTTON);
    EXPECT_EQ(GET_X_LPARAM(messages[0].lParam), 290);
    EXPECT_EQ(GET_Y_LPARAM(messages[0].lParam), 490);

    EnableWindow(child, FALSE);
    EXPECT_EQ(platform::WindowAt({120, 115}), parent);
    DestroyWindow(parent);
}

TEST(Input, TwoQuickTapsAreADoubleClickOnlyWhereTheClassAsks) {
    Register(L"DoubleWnd", &DefWindowProcW, CS_DBLCLKS);
    Register(L"SingleWnd", &DefWindowProcW);
    for (LPCWSTR name : {L"DoubleWnd", L"SingleWnd"}) {
        HWND window =
            CreateWindowExW(0, name, L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        for (int tap = 0; tap < 2; ++tap) {
            platform::InjectTouch(platform::TouchPhase::Down, {50, 50});
            platform::InjectTouch(platform::TouchPhase::Up, {51, 50});
        }
        std::vector<MSG> messages = Drain();
        ASSERT_EQ(messages.size(), 4u);
        EXPECT_EQ(messages[2].message, name == std::wstring(L"DoubleWnd") ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN);
        DestroyWindow(window);
    }
}

} // namespace

#include "platform/window/Clipboard.h"

namespace {

TEST(Clipboard, HoldsTextForTheThreadThatOpensIt) {
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr); // not open
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(EmptyClipboard());
    const wchar_t text[] = L"粘贴 paste";
    EXPECT_NE(SetClipboardData(CF_UNICODETEXT, const_cast<wchar_t*>(text)), nullptr);
    std::thread other([] { EXPECT_FALSE(OpenClipboard(nullptr)); });
    other.join();
    EXPECT_TRUE(CloseClipboard());
    ASSERT_TRUE(OpenClipboard(nullptr));
    auto* held = static_cast<const wchar_t*>(GetClipboardData(CF_UNICODETEXT));
    ASSERT_NE(held, nullptr);
    EXPECT_STREQ(held, text);
    EXPECT_EQ(GetClipboardData(1), nullptr);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());
}

} // namespace

namespace {

TEST(Screen, TheWorkAreaIsTheScreenUnlessConfigured) {
    RECT area{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
    EXPECT_EQ(area.right, 480);
    EXPECT_EQ(area.bottom, 720);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 480);
    {
        ScopedEnvironment workArea("QUILLORA_WORKAREA", "0,26,480,720");
        ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
        EXPECT_EQ(area.top, 26);
    }
    ScopedEnvironment tooWide("QUILLORA_WORKAREA", "0,0,999,720");
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
    EXPECT_EQ(area.right, 480);
}

} // namespace

namespace {

TEST(Windows, AThreadsWindowsEndWithIt) {
    Register(L"ShortLivedWnd", &DefWindowProcW);
    HWND made = nullptr;
    std::thread worker([&] {
        made = CreateWindowExW(0, L"ShortLivedWnd", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
        EXPECT_TRUE(IsWindow(made));
    });
    worker.join();
    EXPECT_FALSE(IsWindow(made));
}

} // namespace

namespace {

TEST(Messages, ASenderIsReleasedWhenTheReceivingThreadEnds) {
    Register(L"LeavingWnd", &DefWindowProcW);
    std::promise<HWND> made;
    std::thread leaving([&] {
        made.set_value(
            CreateWindowExW(0, L"LeavingWnd", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr));
        // Ends without ever reading its queue.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    });
    HWND window = made.get_future().get();
    auto answer = std::async(std::launch::async, [window] { return SendMessageW(window, WM_USER, 0, 0); });
    ASSERT_EQ(answer.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(answer.get(), 0);
    leaving.join();
}

} // namespace

#include "platform/gdi/GdiApi.h"

namespace {

TEST(Windows, WindowsAndOtherHandlesNeverShareAValue) {
    Register(L"CountedWnd", &DefWindowProcW);
    HWND window = CreateWindowExW(0, L"CountedWnd", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    auto value = [](const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); };
    std::vector<HBRUSH> brushes;
    // Enough brushes to pass the window's value, whichever counter gave it.
    while (brushes.size() < 20000 && (brushes.empty() || value(brushes.back()) <= value(window)))
        brushes.push_back(CreateSolidBrush(RGB(1, 2, 3)));
    for (HBRUSH brush : brushes)
        EXPECT_NE(value(brush), value(window));
    EXPECT_GT(value(brushes.back()), value(window));
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    DestroyWindow(window);
}

TEST(Windows, AClassAtomIsNeverGivenTwice) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &DefWindowProcW;
    windowClass.lpszClassName = L"FirstAtomWnd";
    ATOM first = RegisterClassW(&windowClass);
    windowClass.lpszClassName = L"SecondAtomWnd";
    ATOM second = RegisterClassW(&windowClass);
    ASSERT_TRUE(UnregisterClassW(L"FirstAtomWnd", nullptr));
    windowClass.lpszClassName = L"ThirdAtomWnd";
    ATOM third = RegisterClassW(&windowClass);
    EXPECT_NE(first, 0);
    EXPECT_NE(third, first);
    EXPECT_NE(third, second);
}

} // namespace
