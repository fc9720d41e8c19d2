#include "toolkit/FtHostWnd.h"
#include "toolkit/LetterStrip.h"
#include "toolkit/MouseTracker.h"
#include "toolkit/ScrollMotion.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitMessages.h"
#include "toolkit/UiList.h"

#include "platform/display/PaintApi.h"
#include "platform/gdi/GdiApi.h"
#include "platform/window/WindowApi.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// The finger goes down at y0, moves to y1 and y2 ten milliseconds apart, and lifts
// `lift` milliseconds after the last move.
struct SpeedCase {
    const char* what;
    int y0, y1, y2;
    DWORD lift;
    double speed;
};

TEST(MouseTracker, TheFlickSpeedIsTheLastStepOfAQuickRelease) {
    const SpeedCase cases[] = {
        {"two steps of 5 are a slow drag", 100, 105, 110, 10, 0},
        {"two steps of -5 are a slow drag", 100, 95, 90, 10, 0},
        {"two steps summing to 11 flick", 100, 105, 111, 10, 6},
        {"an upward flick", 300, 260, 220, 5, -40},
        {"lifting 160 ms after the last move still flicks", 100, 130, 160, 160, 30},
        {"lifting 161 ms after the last move does not", 100, 130, 160, 161, 0},
        {"a repeated last position takes the step before", 100, 130, 130, 10, 30},
        {"a last step of one pixel is no flick", 0, 10, 11, 10, 0},
        {"400 is held to 300", 0, 0, 400, 10, 300},
        {"-400 is held to -300", 400, 400, 0, 10, -300},
    };
    for (const SpeedCase& c : cases) {
        SCOPED_TRACE(c.what);
        CMouseTracker tracker;
        tracker.SetLButtonDown(50, c.y0, 1000);
        tracker.UpdatePosition(50, c.y1, 1010);
        tracker.UpdatePosition(50, c.y2, 1020);
        tracker.SetLButtonUp(50, c.y2, 1020 + c.lift);
        EXPECT_EQ(tracker.GetSpeedY(), c.speed);
    }
}

TEST(MouseTracker, AReleaseJustAfterTheTickCounterWrapsStillFlicks) {
    CMouseTracker tracker;
    tracker.SetLButtonDown(0, 100, 0xFFFFFFE0u);
    tracker.UpdatePosition(0, 80, 0xFFFFFFF0u);
    tracker.UpdatePosition(0, 50, 0xFFFFFFFAu);
    tracker.SetLButtonUp(0, 50, 0x00000010u); // 22 ms later
    EXPECT_EQ(tracker.GetSpeedY(), -30);
    EXPECT_EQ(tracker.GetLastStepY(), -30);
}

// The offsets after each tick, until the motion rests (at most `limit` ticks).
std::vector<double> RunMotion(ScrollMotion& motion, int limit = 2000) {
    std::vector<double> positions;
    for (int tick = 0; tick < limit && !motion.IsIdle(); ++tick) {
        motion.Step();
        positions.push_back(motion.Position());
    }
    return positions;
}

constexpr double Braking = 0.30000001192092896; // -0.3f widened, its sign dropped

TEST(ScrollMotion, AFlickInsideTheRangeSlowsDownToRest) {
    ScrollMotion motion;
    motion.Start(500, 5000, -2000, Braking, -20, 1.0);
    EXPECT_EQ(motion.GetState(), ScrollMotion::TowardsEnd);
    // Braking 4 per tick above 5 px per tick, 2 below; it stops when the velocity is spent.
    EXPECT_EQ(RunMotion(motion), (std::vector<double>{-2020, -2036, -2048, -2056, -2060, -2062}));
    EXPECT_TRUE(motion.IsIdle());

    motion.Start(500, 5000, -2000, Braking, 20, 1.0);
    EXPECT_EQ(RunMotion(motion), (std::vector<double>{-1980, -1964, -1952, -1944, -1940, -1938}));
}

TEST(ScrollMotion, ContentAtRestInsideItsRangeDoesNotMove) {
    ScrollMotion motion;
    motion.Start(500, 2000, -700, Braking, 0, 1.0);
    EXPECT_TRUE(motion.IsIdle());
    motion.Start(500, 2000, 0, Braking, 0, 1.0);
    EXPECT_TRUE(motion.IsIdle());
    motion.Start(500, 200, 0, Braking, 0, 1.0); // shorter than the view, at its start
    EXPECT_TRUE(motion.IsIdle());
}

TEST(ScrollMotion, ContentPulledPastAnEndSpringsBackExactlyToIt) {
    ScrollMotion motion;
    motion.Start(500, 2000, 90, Braking, 0, 1.0);
    // A third of the overshoot at first, braked by 5 per tick, ending on the edge.
    EXPECT_EQ(RunMotion(motion), (std::vector<double>{60, 35, 15, 0}));

    motion.Start(500, 2000, -1530, Braking, 0, 1.0);
    std::vector<double> back = RunMotion(motion);
    ASSERT_GT(back.size(), 1u);
    EXPECT_TRUE(motion.IsIdle());
    EXPECT_EQ(back.back(), -1500.0);
    EXPECT_TRUE(std::is_sorted(back.begin(), back.end()));

    // Content shorter than its view has its end at the start.
    motion.Start(500, 200, -50, Braking, 0, 1.0);
    std::vector<double> shortContent = RunMotion(motion);
    ASSERT_FALSE(shortContent.empty());
    EXPECT_TRUE(motion.IsIdle());
    EXPECT_EQ(shortContent.back(), 0.0);
}

TEST(ScrollMotion, AFlickIntoAnEndRunsOnALittleAndComesBack) {
    ScrollMotion motion;
    motion.Start(500, 2000, -30, Braking, 20, 1.0);
    std::vector<double> start = RunMotion(motion);
    EXPECT_TRUE(motion.IsIdle());
    EXPECT_GT(*std::max_element(start.begin(), start.end()), 0.0);
    EXPECT_EQ(start.back(), 0.0);

    // The step that leaves the range is held to 60 px.
    motion.Start(500, 2000, -1450, Braking, -300, 1.0);
    std::vector<double> end = RunMotion(motion);
    ASSERT_FALSE(end.empty());
    EXPECT_EQ(end.front(), -1510.0);
    EXPECT_TRUE(motion.IsIdle());
    EXPECT_EQ(end.back(), -1500.0);
    EXPECT_LT(*std::min_element(end.begin(), end.end()), -1510.0); // it ran on before turning
}

TEST(LetterStrip, TheLetterIndexFollowsTheFingersHeightAndIsClampedAtTheEnds) {
    struct Case {
        int y, height, index;
    } const cases[] = {
        {6, 612, 0},    {0, 612, 0},    {29, 612, 0}, {30, 612, 1}, {306, 612, 13},
        {605, 612, 25}, {611, 612, 25}, {13, 26, 13}, {13, 25, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LetterStrip::LetterIndexAt(c.y, c.height), c.index) << "y " << c.y << ", height " << c.height;
}

TEST(LetterStrip, TheChosenLetterIsAOneLetterString) {
    TemporaryRoot root;
    LetterStrip strip;
    strip.SetPos(0, 0, 50, 612);
    EXPECT_EQ(strip.GetLetter(), L"");
    strip.OnLButtonDown(0, 10, 306);
    EXPECT_EQ(strip.GetLetter(), L"N");
    strip.OnMouseMove(0, 70, 611); // drifted off sideways: only the height counts
    EXPECT_EQ(strip.GetLetter(), L"Z");
    strip.OnMouseMove(0, 20, -5); // above the strip: no letter there
    EXPECT_EQ(strip.GetLetter(), L"Z");
    strip.OnLButtonUp(0, 20, -5);
}

class TestHost : public CFtHostWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"ScrollTestWnd"; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_FT_SCROLL_STARTED || message == WM_FT_SCROLL_STOPPED)
            reports.push_back(message);
        return CFtHostWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> reports;
};

// Rows "Row 0" ... that remember taps and the largest area painted in one go.
class RowList : public UiList {
public:
    void OnItemClick(int index) override { clicked.push_back(index); }
    void PaintWin(HDC dc, const RECT& rect) override {
        RECT box{}, painted{};
        GetClipBox(dc, &box);
        if (IntersectRect(&painted, &box, &rect))
            largestPaint = std::max(largestPaint, (painted.right - painted.left) * (painted.bottom - painted.top));
        UiList::PaintWin(dc, rect);
    }
    std::vector<int> clicked;
    int largestPaint = 0;
};

constexpr int ListTop = 42, ListHeight = 500, RowCount = 40;
constexpr RECT ListArea{0, ListTop, 480, ListTop + ListHeight};

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

std::vector<COLORREF> ScreenArea(const RECT& area) {
    HDC screen = GetDC(nullptr);
    std::vector<COLORREF> pixels;
    pixels.reserve(static_cast<std::size_t>((area.right - area.left) * (area.bottom - area.top)));
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x)
            pixels.push_back(GetPixel(screen, x, y));
    }
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The number of differing pixels; the first one is reported.
int Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b, const RECT& area) {
    int count = 0, width = area.right - area.left;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i] != b[i] && count++ == 0)
            ADD_FAILURE() << "first difference at (" << area.left + static_cast<int>(i) % width << ", "
                          << area.top + static_cast<int>(i) / width << ")";
    }
    return count;
}

class ListWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0));
        window.GetWinManager().AddChild(&list);
        list.SetPos(0, ListTop, 480, ListHeight);
        for (int row = 0; row < RowCount; ++row)
            list.AddItem((L"Row " + std::to_wstring(row)).c_str(), static_cast<std::uintptr_t>(row));
        window.Show(true, true);
        Repaint();
    }

    void Repaint() {
        window.Invalidate(nullptr, false);
        window.Update();
    }
    void Send(UINT message, int x, int y) { SendMessageW(window.GetHwnd(), message, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Tap(int x, int y) {
        Send(WM_LBUTTONDOWN, x, y);
        Send(WM_LBUTTONUP, x, y);
    }
    void Drain() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // Runs the window's messages (its timer ticks among them) until `done`, then what
    // is left in the queue; false after 5 s.
    bool PumpUntil(const std::function<bool()>& done) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            Drain();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        Drain();
        return true;
    }

    TemporaryRoot root;
    TestHost window;
    RowList list;
    LetterStrip strip;
};

TEST_F(ListWindow, MovesThatReusePixelsLeaveTheScreenAsAFullRepaintWould) {
    // The strip lies over the list's right edge, as the channel window places it.
    window.GetWinManager().AddChild(&strip);
    strip.SetPos(430, ListTop, 50, ListHeight);
    list.SetSelectedIndex(3);
    for (bool bar : {false, true}) {
        SCOPED_TRACE(bar ? "with the scroll bar shown" : "without the scroll bar");
        list.SetScrollBarShown(bar);
        list.SetTopPos(0);
        Repaint();
        std::vector<COLORREF> before = ScreenArea(ListArea);
        // Up and down, past the start, and past the end (-2300), each by less than the view.
        for (int top : {-30, -250, -180, 45, -10, -460, -900, -1350, -1800, -2250, -2340, -2200})
            list.SetTopPos(top);
        std::vector<COLORREF> moved = ScreenArea(ListArea);
        EXPECT_NE(moved, before);
        Repaint();
        EXPECT_EQ(Differences(moved, ScreenArea(ListArea), ListArea), 0);
    }
}

TEST_F(ListWindow, ASmallMovePaintsOnlyWhatComesIntoViewAndAWholeViewPaintsAll) {
    list.largestPaint = 0;
    list.SetTopPos(-30);
    EXPECT_GT(list.largestPaint, 0);
    EXPECT_LT(list.largestPaint, 480 * ListHeight / 4);
    list.largestPaint = 0;
    list.SetTopPos(-30 - ListHeight);
    EXPECT_EQ(list.largestPaint, 480 * ListHeight);
}

TEST_F(ListWindow, TheSelectedRowIsFramedAndTheOthersSeparated) {
    list.SetSelectedIndex(2);
    list.SetSelectedIndex(RowCount); // not a row: ignored
    EXPECT_EQ(list.GetSelectedIndex(), 2);
    Repaint();
    int top = ListTop + 2 * 70;
    EXPECT_EQ(ScreenPixel(300, top), 0xC3A34Cu);
    EXPECT_EQ(ScreenPixel(300, top + 1), 0xFFF8C1u);
    EXPECT_EQ(ScreenPixel(300, top + 68), 0xFFFFDAu);
    EXPECT_EQ(ScreenPixel(300, top + 69), 0xC3A34Cu);
    EXPECT_EQ(ScreenPixel(300, ListTop + 69), GetThemeColour(SYSCLR_LIST_GRIDLINE2_COLOR1));
}

TEST_F(ListWindow, ScrollingToATargetStopsAtTheContentsEnds) {
    list.ScrollTo(-5000, true);
    EXPECT_EQ(list.GetTopPos(), ListHeight - RowCount * 70);
    // 2300 px down the content: row 32 covers the view's first pixel row.
    EXPECT_EQ(list.HitTestItem(0), 32);
    EXPECT_EQ(list.HitTestItem(ListHeight - 1), RowCount - 1);
    RECT last{};
    ASSERT_TRUE(list.GetItemRect(RowCount - 1, list.GetRect(), &last));
    EXPECT_EQ(last.bottom, ListHeight);
    EXPECT_FALSE(list.GetItemRect(RowCount, list.GetRect(), &last));
    list.ScrollTo(100, false);
    EXPECT_EQ(list.GetTopPos(), 0);
}

TEST_F(ListWindow, ATapSelectsTheRowButAPressThatStopsAFlingDoesNot) {
    Tap(200, ListTop + 75);
    EXPECT_EQ(list.clicked, std::vector<int>{1});
    EXPECT_EQ(list.GetSelectedIndex(), 1);

    list.StartFling(-40);
    ASSERT_TRUE(list.IsScrolling());
    Tap(200, ListTop + 215);
    EXPECT_FALSE(list.IsScrolling());
    EXPECT_EQ(list.clicked, std::vector<int>{1});
    EXPECT_EQ(list.GetSelectedIndex(), 1);
}

TEST_F(ListWindow, AFlickGlidesOnAfterTheFingerLiftsAndComesToRest) {
    Send(WM_LBUTTONDOWN, 200, 400);
    Send(WM_MOUSEMOVE, 200, 380);
    Send(WM_MOUSEMOVE, 200, 350);
    EXPECT_EQ(list.GetTopPos(), -50); // the content follows the finger
    Drain();                          // the press's own stop report
    window.reports.clear();
    Send(WM_LBUTTONUP, 200, 350);
    ASSERT_TRUE(list.IsScrolling());
    ASSERT_TRUE(PumpUntil([&] { return !list.IsScrolling(); }));
    // The last step, -30, glides on: -30, -26, ... -2 px a tick.
    EXPECT_EQ(list.GetTopPos(), -178);
    EXPECT_EQ(window.reports, (std::vector<UINT>{WM_FT_SCROLL_STARTED, WM_FT_SCROLL_STOPPED}));
    EXPECT_TRUE(list.clicked.empty());
}

TEST_F(ListWindow, ReleasingContentPulledPastTheStartSpringsBack) {
    Send(WM_LBUTTONDOWN, 200, 300);
    for (int y : {340, 380, 383, 386})
        Send(WM_MOUSEMOVE, 200, y);
    EXPECT_EQ(list.GetTopPos(), 86);
    // The last two steps are too small for a flick: the content only springs back.
    Send(WM_LBUTTONUP, 200, 386);
    ASSERT_TRUE(PumpUntil([&] { return !list.IsScrolling(); }));
    EXPECT_EQ(list.GetTopPos(), 0);
}

TEST_F(ListWindow, ADragFromADisabledControlOverARowScrollsTheList) {
    UiWin mark;
    mark.SetPos(380, 0, 100, 70);
    mark.SetEnable(false);
    mark.SetPassDragToScroller(true);
    list.AddChild(&mark);
    Send(WM_LBUTTONDOWN, 420, ListTop + 30);
    for (int y : {ListTop + 10, ListTop - 10, ListTop - 30})
        Send(WM_MOUSEMOVE, 420, y);
    EXPECT_EQ(list.GetTopPos(), -60) << "the list follows the whole drag, its first move included";
    Send(WM_LBUTTONUP, 420, ListTop - 30);
    PumpUntil([&] { return !list.IsScrolling(); });
    EXPECT_TRUE(list.clicked.empty());
}

TEST_F(ListWindow, EmptyingAGlidingListLeavesItAtItsStart) {
    list.StartFling(-300);
    ASSERT_TRUE(list.IsScrolling());
    for (int tick = 0; tick < 3; ++tick)
        list.OnTimer(FtControlTimer + list.GetID());
    list.RemoveAll();
    Drain();
    EXPECT_FALSE(list.IsScrolling());
    EXPECT_EQ(list.GetTopPos(), 0);
}

} // namespace
