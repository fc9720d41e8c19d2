#include "toolkit/FtWnd.h"
#include "toolkit/ToolkitMessages.h"
#include "toolkit/ToolkitString.h"
#include "toolkit/Transition.h"

#include "platform/display/PaintApi.h"
#include "platform/gdi/GdiApi.h"
#include "platform/window/Input.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr UINT RunInLoop = WM_USER + 40; // lParam: a std::function<void()>* to call in the loop

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

void FillScreen(COLORREF colour) {
    HDC screen = GetDC(nullptr);
    RECT all{0, 0, 480, 720};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(screen, &all, brush);
    DeleteObject(brush);
    ReleaseDC(nullptr, screen);
}

// A window that counts what reaches it, paints its top 96 rows red and the rest green,
// and runs code it is posted.
class TestWindow : public CFtWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"TestWnd"; }
    void OnMouseMove(UINT, int, int) override { ++moves; }
    void OnLButtonDown(UINT, int, int) override { ++taps; }
    void OnLButtonUp(UINT, int, int) override {
        if (endOnTap)
            EndModal(7);
    }
    void PaintWin(HDC dc, const RECT&) override {
        ++paints;
        RECT top{0, 0, GetWidth(), 96}, rest{0, 96, GetWidth(), GetHeight()};
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), green = CreateSolidBrush(RGB(0, 255, 0));
        FillRect(dc, &top, red);
        FillRect(dc, &rest, green);
        DeleteObject(red);
        DeleteObject(green);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == RunInLoop) {
            (*reinterpret_cast<std::function<void()>*>(lParam))();
            return 0;
        }
        return CFtWnd::WindowProc(message, wParam, lParam);
    }
    bool CreateAt(RECT area, HWND parent = nullptr) {
        return Create(area.left, area.top, area.right - area.left, area.bottom - area.top, parent, nullptr, WS_POPUP,
                      0);
    }

    int moves = 0, taps = 0, paints = 0;
    bool endOnTap = false;
};

class FtWndTest : public ::testing::Test {
protected:
    FtWndTest() {
        SetToolkitQuitting(false);
        SetTransitionFrameObserver([this](int kind, int frame) {
            frames.push_back({kind, frame});
            if (onFrame)
                onFrame(kind, frame);
        });
    }
    ~FtWndTest() override {
        SetTransitionFrameObserver(nullptr);
        SetToolkitQuitting(false);
    }
    void RunLater(TestWindow& window, std::function<void()>& code) {
        window.Post(RunInLoop, 0, reinterpret_cast<LPARAM>(&code));
    }

    TemporaryRoot m_root;
    std::vector<std::pair<int, int>> frames;
    std::function<void(int, int)> onFrame;
    const RECT screen{0, 0, 480, 720};
};

TEST_F(FtWndTest, AQuitEndsEveryOpenLoopWithoutItsHidingTransition) {
    TestWindow main, outer, inner;
    ASSERT_TRUE(main.CreateAt(screen));
    ASSERT_TRUE(outer.CreateAt(screen, main.GetHwnd()));
    ASSERT_TRUE(inner.CreateAt(screen, main.GetHwnd()));
    outer.SetAnimateOut(2);
    inner.SetAnimateOut(2);
    bool innerReturned = false;
    std::function<void()> quit = [] { PostQuitMessage(0); };
    std::function<void()> openInner = [&] {
        RunLater(inner, quit);
        inner.DoModal();
        innerReturned = true;
    };
    RunLater(outer, openInner);
    outer.DoModal();
    EXPECT_TRUE(innerReturned);
    EXPECT_TRUE(ToolkitQuitting());
    EXPECT_TRUE(frames.empty());
    EXPECT_FALSE(IsWindowVisible(outer.GetHwnd()));
}

TEST_F(FtWndTest, OnlyTheActiveWindowPlaysItsHidingTransition) {
    TestWindow main, modal, other;
    ASSERT_TRUE(main.CreateAt(screen));
    ASSERT_TRUE(modal.CreateAt(screen, main.GetHwnd()));
    ASSERT_TRUE(other.CreateAt(screen));
    modal.SetAnimateOut(2);
    std::function<void()> end = [&] { modal.EndModal(1); };
    RunLater(modal, end);
    EXPECT_EQ(modal.DoModal(), 1);
    EXPECT_FALSE(frames.empty());
    frames.clear();
    std::function<void()> elsewhere = [&] {
        SetActiveWindow(other.GetHwnd());
        modal.EndModal(2);
    };
    RunLater(modal, elsewhere);
    EXPECT_EQ(modal.DoModal(), 2);
    EXPECT_TRUE(frames.empty());
}

TEST_F(FtWndTest, AMouseMoveToTheLastPositionIsNotPassedOn) {
    TestWindow window;
    ASSERT_TRUE(window.CreateAt(RECT{0, 0, 100, 100}));
    SendMessageW(window.GetHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(window.GetHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(window.moves, 1);
    SendMessageW(window.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 40));
    SendMessageW(window.GetHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 40));
    EXPECT_EQ(window.moves, 1);
    SendMessageW(window.GetHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(31, 40));
    EXPECT_EQ(window.moves, 2);
}

TEST_F(FtWndTest, PaintingGoesThroughABackBufferMadeAgainOnlyForANewSize) {
    FillScreen(RGB(0, 0, 255));
    TestWindow window;
    ASSERT_TRUE(window.CreateAt(RECT{0, 0, 100, 200}));
    // Erasing is answered as done and left to the back buffer.
    EXPECT_EQ(SendMessageW(window.GetHwnd(), WM_ERASEBKGND, 0, 0), 1);
    window.Show(true, true);
    window.Update();
    EXPECT_EQ(ScreenPixel(50, 50), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(50, 150), RGB(0, 255, 0));
    HBITMAP first = window.BackBuffer().GetBitmap();
    window.Invalidate(nullptr, false);
    window.Update();
    EXPECT_EQ(window.BackBuffer().GetBitmap(), first);
    MoveWindow(window.GetHwnd(), 0, 0, 120, 200, TRUE);
    window.Update();
    EXPECT_NE(window.BackBuffer().GetBitmap(), first);
    EXPECT_EQ(window.BackBuffer().GetWidth(), 120);
}

TEST_F(FtWndTest, TapsMadeDuringATransitionAreDroppedAndTheNextOneIsNot) {
    // While the window slides in, the taps land on the window below it.
    TestWindow below, window;
    ASSERT_TRUE(below.CreateAt(screen));
    below.Show(true, true);
    ASSERT_TRUE(window.CreateAt(screen));
    window.SetAnimateIn(1);
    onFrame = [](int, int frame) {
        if (frame == 2) {
            platform::InjectTouch(platform::TouchPhase::Down, {100, 100});
            platform::InjectTouch(platform::TouchPhase::Up, {100, 100});
            // The filter's stamp comes after the transition: make it later than these taps.
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    };
    std::function<void()> end = [&] { window.EndModal(7); };
    std::function<void()> tapNow = [&] {
        platform::InjectTouch(platform::TouchPhase::Down, {100, 100});
        platform::InjectTouch(platform::TouchPhase::Up, {100, 100});
        RunLater(window, end);
    };
    // The taps of the transition are queued first, then this message, then its tap.
    onFrame = [&, inject = onFrame](int kind, int frame) {
        inject(kind, frame);
        if (frame == 2)
            RunLater(window, tapNow);
    };
    EXPECT_EQ(window.DoModal(), 7);
    EXPECT_EQ(below.taps, 0);
    EXPECT_EQ(window.taps, 1);
}

TEST_F(FtWndTest, SlidingUpShowsTheTargetsTopRowsAtTheBottom) {
    FillScreen(RGB(0, 0, 255));
    TestWindow window;
    ASSERT_TRUE(window.CreateAt(screen));
    std::vector<COLORREF> seen;
    onFrame = [&](int, int frame) {
        if (frame == 3)
            seen = {ScreenPixel(240, 720 - 97), ScreenPixel(240, 720 - 96), ScreenPixel(240, 719)};
    };
    AnimateWindow(window, 1, true);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], RGB(0, 0, 255));
    EXPECT_EQ(seen[1], RGB(255, 0, 0));
    EXPECT_EQ(seen[2], RGB(255, 0, 0));
    // 720 rows at 32 a frame: 23 frames, then the whole target.
    EXPECT_EQ(frames.size(), 23u);
    EXPECT_EQ(ScreenPixel(240, 10), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(240, 700), RGB(0, 255, 0));
}

TEST_F(FtWndTest, PushingLeftMovesBothImages) {
    FillScreen(RGB(0, 0, 255));
    HDC screenDc = GetDC(nullptr);
    SetPixel(screenDc, 50, 300, RGB(1, 2, 3));
    ReleaseDC(nullptr, screenDc);
    TestWindow window;
    ASSERT_TRUE(window.CreateAt(screen));
    std::vector<COLORREF> seen;
    onFrame = [&](int, int frame) {
        if (frame == 2)
            seen = {ScreenPixel(50 - 48, 300), ScreenPixel(480 - 48, 300), ScreenPixel(480 - 49, 300)};
    };
    AnimateWindow(window, 12, true);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], RGB(1, 2, 3));   // the old image moved 48 px to the left
    EXPECT_EQ(seen[1], RGB(0, 255, 0)); // the target's first column enters at the right
    EXPECT_EQ(seen[2], RGB(0, 0, 255));
    EXPECT_EQ(frames.size(), 20u); // 480 / 24
}

TEST_F(FtWndTest, TheHomeKeyIsAnsweredToTheShellThatAsks) {
    TestWindow window;
    ASSERT_TRUE(window.CreateAt(RECT{0, 0, 100, 100}));
    WNDCLASSW shellClass{};
    shellClass.lpfnWndProc = &DefWindowProcW;
    shellClass.lpszClassName = L"TestShellWnd";
    RegisterClassW(&shellClass);
    HWND shell = CreateWindowExW(0, L"TestShellWnd", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    UINT homeKey = RegisterWindowMessageW(L"ShellNotifyMsg/ClickMKey");
    window.SetHomeKeyAnswer(2);
    SendMessageW(window.GetHwnd(), homeKey, 0, reinterpret_cast<LPARAM>(shell));
    MSG answer{};
    ASSERT_TRUE(PeekMessageW(&answer, shell, 0, 0, PM_REMOVE));
    EXPECT_EQ(answer.message, WM_FT_SHELL_ANSWER);
    EXPECT_EQ(answer.lParam, 1);
    window.SetHomeKeyAnswer(-1);
    SendMessageW(window.GetHwnd(), homeKey, 0, reinterpret_cast<LPARAM>(shell));
    EXPECT_FALSE(PeekMessageW(&answer, shell, 0, 0, PM_REMOVE));
    DestroyWindow(shell);
}

// Counts the buffers a string asks for.
class CountingString : public ToolkitString {
public:
    bool Reserve(std::size_t n) override {
        ++reserved;
        return ToolkitString::Reserve(n);
    }
    int reserved = 0;
};

TEST(ToolkitString, StorageIsExactAndReusedOnlyWhenStrictlyLarger) {
    CountingString text;
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(text.Capacity(), 0u);
    ASSERT_TRUE(text.Reserve(10));
    text.Assign(L"123456789"); // 9 + 1 is not less than 10: a new buffer of exactly 10
    EXPECT_EQ(text.reserved, 2);
    EXPECT_EQ(text.Capacity(), 10u);
    ASSERT_TRUE(text.Reserve(11));
    const wchar_t* buffer = text.C_Str();
    text.Assign(L"123456789"); // 10 < 11: the buffer stays
    EXPECT_EQ(text.reserved, 3);
    EXPECT_EQ(text.C_Str(), buffer);
    EXPECT_EQ(text.Capacity(), 11u);
    EXPECT_STREQ(text.C_Str(), L"123456789");
    text.Assign(nullptr);
    EXPECT_EQ(text.Capacity(), 0u);
    EXPECT_STREQ(text.C_Str(), L"");

    ToolkitString a(L"ab");
    ToolkitString sum = a + L"cde";
    EXPECT_STREQ(sum.C_Str(), L"abcde");
    EXPECT_EQ(sum.Capacity(), 6u);
    EXPECT_EQ(ToolkitString().Compare(nullptr), 0);
    EXPECT_EQ(a.Compare(nullptr), 1);
    EXPECT_EQ(ToolkitString().Compare(L"x"), -1);
    EXPECT_TRUE(sum.Equals(L"abcde"));
    sum = sum;
    EXPECT_STREQ(sum.C_Str(), L"abcde");
}

} // namespace

#include "toolkit/FtApplication.h"
#include "toolkit/FtHostWnd.h"

namespace {

class TestApplication : public CFtApplication {
public:
    BOOL InitInstance() override {
        started = true;
        if (!window.Create(0, 0, 100, 100, nullptr, nullptr, WS_POPUP, 0))
            return FALSE;
        // The loop runs until a quit: one dispatched message first, then the quit.
        window.Post(WM_USER + 1, 0, 0);
        PostQuitMessage(5);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* message) override {
        seen += message->message == WM_USER + 1;
        return FALSE;
    }

    bool started = false;
    int seen = 0;
    CFtHostWnd window;
};

TEST(FtApplication, ToolkitMainRunsTheApplicationToItsQuit) {
    TemporaryRoot root;
    SetToolkitQuitting(false);
    EXPECT_EQ(ToolkitMain(nullptr), -1); // no application yet
    {
        TestApplication application;
        EXPECT_EQ(CFtApplication::Instance(), &application);
        EXPECT_EQ(ToolkitMain(nullptr), 5);
        EXPECT_TRUE(application.started);
        EXPECT_EQ(application.seen, 1);
        // The window registry was let go at the end.
        EXPECT_EQ(CFtWnd::FindWnd(application.window.GetHwnd()), nullptr);
    }
    EXPECT_EQ(CFtApplication::Instance(), nullptr);
    SetToolkitQuitting(false);
}

TEST(FtHostWnd, ItsManagerCoversTheClientAreaAndFollowsItsSize) {
    TemporaryRoot root;
    CFtHostWnd window;
    ASSERT_TRUE(window.Create(0, 0, 200, 300, nullptr, nullptr, WS_POPUP, 0));
    EXPECT_EQ(window.GetWinManager().GetHostWindow(), window.GetHwnd());
    EXPECT_EQ(window.GetWinManager().GetRect().bottom, 300);
    MoveWindow(window.GetHwnd(), 0, 0, 150, 250, FALSE);
    EXPECT_EQ(window.GetWinManager().GetRect().right, 150);
    EXPECT_EQ(window.GetWinManager().GetRect().bottom, 250);
}

} // namespace

#include "platform/window/ShellStandIn.h"

namespace {

TEST(HomeKey, TheDesktopsHomeKeyAsksTheActiveWindowAndTheShellHearsItsAnswer) {
    TemporaryRoot root;
    TestWindow window;
    ASSERT_TRUE(window.CreateAt(RECT{0, 0, 100, 100}));
    window.SetHomeKeyAnswer(2);
    window.Show(true, true);
    std::size_t before = platform::ShellAnswers().size();
    ASSERT_TRUE(platform::InjectHomeKey());
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    std::vector<LPARAM> answers = platform::ShellAnswers();
    for (int i = 0; i < 500 && answers.size() == before; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        answers = platform::ShellAnswers();
    }
    ASSERT_EQ(answers.size(), before + 1);
    EXPECT_EQ(answers.back(), 1);
}

} // namespace

namespace {

TEST(Transitions, AHidingWindowWhoseParentLivesOnAnotherThreadPlaysNothing) {
    TemporaryRoot root;
    TestWindow parent;
    ASSERT_TRUE(parent.CreateAt(RECT{0, 0, 480, 720}));
    int frames = 0;
    SetTransitionFrameObserver([&](int, int) { ++frames; });
    std::thread dialogThread([&] {
        TestWindow dialog;
        ASSERT_TRUE(dialog.CreateAt(RECT{0, 0, 480, 720}, parent.GetHwnd()));
        AnimateWindow(dialog, 2, false);
        AnimateWindow(dialog, 1, true); // its own image is its thread's to draw
    });
    dialogThread.join();
    SetTransitionFrameObserver(nullptr);
    EXPECT_EQ(frames, 23);
}

} // namespace
