// Finger scrolling as the main loop feeds it: the page follows the finger, runs on after
// the release with a decaying speed, and ignores the toolbar's strip and pages that are
// not ready.

#include "app/FingerScroll.h"

#include "platform/window/WindowApi.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class RecordingTarget : public FingerScroll::Target {
public:
    RecordingTarget() {
        static const bool registered = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = &DefWindowProcW;
            windowClass.lpszClassName = L"FingerScrollTarget";
            return RegisterClassW(&windowClass) != 0;
        }();
        EXPECT_TRUE(registered);
        window = CreateWindowExW(0, L"FingerScrollTarget", L"", WS_POPUP, 0, 0, 480, 720, nullptr, nullptr, nullptr,
                                 nullptr);
    }
    ~RecordingTarget() { DestroyWindow(window); }

    bool PageReady() const override { return ready; }
    HWND ScrollWindow() const override { return window; }
    void ScrollPage(int dy) override { steps.push_back(dy); }

    bool ready = true;
    HWND window = nullptr;
    std::vector<int> steps;
};

MSG Mouse(UINT message, int x, int y) {
    MSG record{};
    record.message = message;
    record.lParam = MAKELPARAM(x, y);
    return record;
}

TEST(FingerScroll, ADragScrollsWithTheFingerAndRunsOnSlowingAfterTheRelease) {
    RecordingTarget target;
    FingerScroll scroll(target);
    scroll.See(Mouse(WM_LBUTTONDOWN, 100, 200));
    EXPECT_NE(scroll.TimerId(), 0u);
    scroll.See(Mouse(WM_MOUSEMOVE, 100, 210));
    scroll.See(Mouse(WM_MOUSEMOVE, 100, 230));
    scroll.MomentumStep(); // the finger is still down: the tick does nothing
    scroll.See(Mouse(WM_LBUTTONUP, 100, 230));
    EXPECT_EQ(target.steps, (std::vector<int>{-10, -20}));

    target.steps.clear();
    while (scroll.TimerId() != 0 && target.steps.size() < 100)
        scroll.MomentumStep();
    std::vector<int> expected;
    for (int speed = -19; speed <= 0; ++speed)
        expected.push_back(speed);
    EXPECT_EQ(target.steps, expected) << "-19, -18, ... -1, then the stop";
    EXPECT_EQ(scroll.Speed(), 0);
}

TEST(FingerScroll, TheToolbarStripAndAPageNotReadyStartNoDrag) {
    RecordingTarget target;
    FingerScroll scroll(target);
    scroll.See(Mouse(WM_LBUTTONDOWN, 100, 720 - 65));
    scroll.See(Mouse(WM_MOUSEMOVE, 100, 600));
    EXPECT_FALSE(scroll.Dragging());
    EXPECT_EQ(scroll.TimerId(), 0u);
    scroll.See(Mouse(WM_LBUTTONDOWN, 100, 720 - 66));
    EXPECT_TRUE(scroll.Dragging()) << "the row just above the strip is the page's";
    scroll.See(Mouse(WM_LBUTTONUP, 100, 720 - 66));

    target.ready = false;
    scroll.See(Mouse(WM_LBUTTONDOWN, 100, 300));
    scroll.See(Mouse(WM_MOUSEMOVE, 100, 350));
    EXPECT_FALSE(scroll.Dragging());
    EXPECT_TRUE(target.steps.empty());
}

TEST(FingerScroll, ANewTouchStopsTheMomentumOfTheLastFling) {
    RecordingTarget target;
    FingerScroll scroll(target);
    scroll.See(Mouse(WM_LBUTTONDOWN, 100, 400));
    scroll.See(Mouse(WM_MOUSEMOVE, 100, 300));
    scroll.See(Mouse(WM_LBUTTONUP, 100, 300));
    scroll.MomentumStep();
    EXPECT_EQ(scroll.Speed(), 95);
    scroll.See(Mouse(WM_LBUTTONDOWN, 100, 300));
    EXPECT_EQ(scroll.Speed(), 0);
    target.steps.clear();
    scroll.MomentumStep();
    EXPECT_TRUE(target.steps.empty()) << "the finger holds the page";
}

} // namespace
