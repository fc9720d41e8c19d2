#include "toolkit/ControlLook.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/ToolkitMessages.h"
#include "toolkit/UiButton.h"
#include "toolkit/UiImageButton.h"
#include "toolkit/UiToolBar.h"
#include "toolkit/WinManager.h"

#include "platform/base/Time.h"
#include "platform/window/WindowApi.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Report {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A host window that keeps every toolkit message the controls send or post it.
class ReportingHost : public CFtHostWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"ReportingHostWnd"; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= 0xFFF10000 || message == WM_FT_BUTTON_STATE)
            reports.push_back({message, wParam, lParam});
        return CFtHostWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<Report> Of(UINT message) const {
        std::vector<Report> found;
        for (const Report& report : reports)
            if (report.message == message)
                found.push_back(report);
        return found;
    }
    std::vector<Report> reports;
};

// A control that counts what reaches it.
class Probe : public UiWin {
public:
    void OnLButtonDown(UINT flags, int x, int y) override {
        downs.push_back({x, y});
        UiWin::OnLButtonDown(flags, x, y);
    }
    void OnMouseMove(UINT flags, int x, int y) override {
        moves.push_back({x, y});
        UiWin::OnMouseMove(flags, x, y);
    }
    void OnHeld() override { ++held; }
    void OnSetFocus(UiWin*) override { ++focusGained; }
    void OnKillFocus(UiWin*) override { ++focusLost; }
    void OnDeferred(LPARAM argument) override { deferred.push_back(argument); }
    std::vector<POINT> downs, moves;
    std::vector<LPARAM> deferred;
    int held = 0, focusGained = 0, focusLost = 0;
};

// A stand-in for a list: a scroll container that follows the finger it is given.
class Scroller : public Probe {
public:
    bool IsScrollContainer() const override { return true; }
    void StopScroll() override { ++stops; }
    int stops = 0;
};

class ControlsTest : public ::testing::Test {
protected:
    ControlsTest() { EXPECT_TRUE(host.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0)); }
    ~ControlsTest() override { host.Destroy(); }

    WinManager& Manager() { return host.GetWinManager(); }
    void Send(UINT message, int x, int y) {
        SendMessageW(host.GetHwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    // Dispatches what is queued (timers included) for `milliseconds`.
    void Pump(DWORD milliseconds = 0) {
        DWORD end = GetTickCount() + milliseconds;
        do {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
            if (milliseconds)
                Sleep(5);
        } while (static_cast<LONG>(end - GetTickCount()) > 0);
    }

    TemporaryRoot m_root;
    ReportingHost host;
};

TEST(HitTest, TheTopmostVisibleChildWinsAndADisabledParentKeepsTheFinger) {
    WinManager root;
    root.SetRect(RECT{0, 0, 480, 720});
    Probe lower, upper, hidden, transparent, disabled, inner;
    for (Probe* control : {&lower, &upper, &hidden, &transparent}) {
        control->SetPos(10, 10, 100, 100);
        root.AddChild(control);
    }
    hidden.SetVisible(false);
    transparent.SetMouseTransparent(true);
    EXPECT_EQ(WinManager::HitTest(&root, 50, 50), &upper);
    EXPECT_EQ(WinManager::HitTest(&root, 200, 200), &root);
    EXPECT_EQ(WinManager::HitTest(&root, 500, 50), nullptr);
    disabled.SetPos(300, 300, 100, 100);
    inner.SetPos(10, 10, 50, 50);
    disabled.AddChild(&inner);
    root.AddChild(&disabled);
    EXPECT_EQ(WinManager::HitTest(&root, 320, 320), &inner);
    disabled.SetEnable(false);
    EXPECT_EQ(WinManager::HitTest(&root, 320, 320), &disabled);
}

TEST(MousePacking, ThreePackingsByTheSizeOfThePosition) {
    EXPECT_EQ(PackMousePosition(10, 20).message, WM_FT_MOUSE);
    EXPECT_EQ(PackMousePosition(10, 20).lParam, (20 << 16) | 10);
    PackedPosition tall = PackMousePosition(5000, 70000);
    EXPECT_EQ(tall.message, WM_FT_MOUSE_TALL);
    EXPECT_EQ(static_cast<std::uint32_t>(tall.lParam), (5000u & 0xFFF) | (70000u << 12));
    PackedPosition wide = PackMousePosition(70000, 3);
    EXPECT_EQ(wide.message, WM_FT_MOUSE_WIDE);
    EXPECT_EQ(static_cast<std::uint32_t>(wide.lParam), (70000u & 0xFFFFF) ^ (3u << 20));
}

TEST_F(ControlsTest, AControlFarToTheRightReportsWithTheWidePacking) {
    Probe wide;
    wide.SetID(7);
    wide.SetPos(-70000, 0, 70480, 100);
    wide.SetNotifyMouse(true);
    Manager().AddChild(&wide);
    Send(WM_LBUTTONDOWN, 100, 40);
    auto reports = host.Of(WM_FT_MOUSE_WIDE);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].wParam, 7u + (FtMouseDown << 16));
    EXPECT_EQ(static_cast<std::uint32_t>(reports[0].lParam), (70100u & 0xFFFFF) ^ (40u << 20));
}

TEST_F(ControlsTest, ADragFromADisabledChildIsTakenOverByTheScrollerAroundIt) {
    Scroller list;
    Probe row;
    list.SetPos(0, 100, 480, 500);
    row.SetPos(0, 0, 480, 70);
    row.SetEnable(false);
    row.SetPassDragToScroller(true);
    list.AddChild(&row);
    Manager().AddChild(&list);
    Send(WM_LBUTTONDOWN, 200, 130);
    EXPECT_TRUE(row.downs.empty());
    EXPECT_EQ(list.stops, 1) << "a press stops the scroller's fling";
    Send(WM_MOUSEMOVE, 200, 160);
    ASSERT_EQ(list.downs.size(), 1u);
    EXPECT_EQ(list.downs[0].y, 30) << "the scroller is pressed where the finger was";
    ASSERT_EQ(list.moves.size(), 1u);
    EXPECT_EQ(list.moves[0].y, 60);
    Send(WM_MOUSEMOVE, 200, 190);
    EXPECT_EQ(list.moves.size(), 2u) << "the scroller keeps the finger";
    EXPECT_EQ(Manager().GetCapture(), &list);
}

TEST_F(ControlsTest, AButtonUnderADragLosesItsLookAndPostsNothing) {
    Scroller list;
    UiButton button;
    button.SetID(31);
    button.SetPassDragToScroller(true);
    list.SetPos(0, 0, 480, 600);
    button.SetPos(40, 40, 200, 80);
    list.AddChild(&button);
    Manager().AddChild(&list);
    Send(WM_LBUTTONDOWN, 100, 80);
    EXPECT_TRUE(button.ShowsPressed());
    Send(WM_MOUSEMOVE, 100, 95);
    EXPECT_FALSE(button.ShowsPressed());
    EXPECT_TRUE(button.IsCancelled());
    EXPECT_EQ(list.moves.size(), 1u);
    Send(WM_LBUTTONUP, 100, 95);
    Pump();
    EXPECT_TRUE(host.Of(WM_FT_COMMAND).empty());
}

// A press that opened another window, which took the finger's release, is over: the
// next press goes to the control under the finger, not to the one pressed before.
TEST_F(ControlsTest, APressWhoseReleaseWentToAnotherWindowDoesNotKeepTheNextOne) {
    Probe first, second;
    first.SetPos(0, 0, 240, 100);
    second.SetPos(240, 0, 240, 100);
    Manager().AddChild(&first);
    Manager().AddChild(&second);
    Send(WM_LBUTTONDOWN, 100, 50);
    ASSERT_EQ(Manager().GetCapture(), &first);
    ReportingHost other;
    ASSERT_TRUE(other.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP | WS_VISIBLE, 0));
    SetCapture(other.GetHwnd());
    ReleaseCapture();
    Send(WM_LBUTTONDOWN, 300, 50);
    EXPECT_EQ(first.downs.size(), 1u);
    EXPECT_EQ(second.downs.size(), 1u);
    Send(WM_LBUTTONUP, 300, 50);
    other.Destroy();
}

TEST_F(ControlsTest, AClickPostsTheCommandAndAToggleKeepsItsNewState) {
    UiButton button, toggle;
    button.SetID(2029);
    button.SetPos(90, 130, 300, 100);
    toggle.SetID(2027);
    toggle.SetKind(UiButton::SwitchKind);
    toggle.SetToggle(true);
    toggle.SetPos(350, 300, 110, 70);
    Manager().AddChild(&button);
    Manager().AddChild(&toggle);
    Send(WM_LBUTTONDOWN, 100, 150);
    Send(WM_LBUTTONUP, 120, 160);
    Send(WM_LBUTTONDOWN, 400, 330);
    EXPECT_TRUE(toggle.ShowsPressed());
    EXPECT_FALSE(toggle.IsChecked());
    Send(WM_LBUTTONUP, 400, 330);
    EXPECT_TRUE(toggle.IsChecked());
    // Released outside: the switch goes back to what it was.
    Send(WM_LBUTTONDOWN, 400, 330);
    Send(WM_MOUSEMOVE, 100, 600);
    Send(WM_LBUTTONUP, 100, 600);
    EXPECT_TRUE(toggle.IsChecked());
    Pump();
    auto commands = host.Of(WM_FT_COMMAND);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].wParam, 2029u);
    EXPECT_EQ(commands[0].lParam, MAKELPARAM(30, 30)) << "the release point in the button";
    EXPECT_EQ(commands[1].wParam, 2027u);
    EXPECT_FALSE(host.Of(WM_FT_BUTTON_STATE).empty());
}

TEST_F(ControlsTest, ToolBarsReportTheButtonUnderTheFinger) {
    UiToolBar bar;
    UiImageButton icons;
    bar.SetID(2024);
    bar.SetPos(0, 655, 480, 65);
    bar.SetButtonText(0, L"取消");
    bar.SetButtonText(2, L"确认");
    bar.SetButtonEnabled(2, false);
    icons.SetID(2026);
    icons.SetPos(0, 0, 480, 65);
    for (int i = 0; i < 4; ++i)
        icons.AddButton(nullptr);
    Manager().AddChild(&bar);
    Manager().AddChild(&icons);
    EXPECT_EQ(bar.ColumnAt(159, 10), 0);
    EXPECT_EQ(bar.ColumnAt(160, 10), 1);
    EXPECT_EQ(bar.ColumnAt(321, 10), 2);
    EXPECT_EQ(bar.ColumnAt(100, 65), -1);
    for (int x : {20, 460}) { // the disabled right button posts nothing
        Send(WM_LBUTTONDOWN, x, 680);
        Send(WM_LBUTTONUP, x, 680);
    }
    Send(WM_LBUTTONDOWN, 300, 30);
    Send(WM_LBUTTONUP, 300, 30);
    Pump();
    auto commands = host.Of(WM_FT_COMMAND);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].wParam, 2024u);
    EXPECT_EQ(commands[0].lParam, 0);
    EXPECT_EQ(commands[1].wParam, 2026u);
    EXPECT_EQ(commands[1].lParam, 2);
    EXPECT_EQ(icons.GetSelected(), 2);
}

TEST_F(ControlsTest, PressAndHoldFiresOnlyWhenTheFingerStays) {
    Probe probe;
    probe.SetID(9);
    probe.SetPos(0, 0, 200, 200);
    probe.SetHoldEnabled(true);
    probe.SetHoldDelay(40);
    probe.SetNotifyMouse(true);
    Manager().AddChild(&probe);
    Send(WM_LBUTTONDOWN, 50, 50);
    Send(WM_LBUTTONUP, 50, 50);
    Pump(120);
    EXPECT_EQ(probe.held, 0);
    Send(WM_LBUTTONDOWN, 50, 50);
    Pump(120);
    EXPECT_EQ(probe.held, 1);
    EXPECT_TRUE(probe.IsLongPressed());
    Send(WM_LBUTTONUP, 50, 50);
    std::vector<WPARAM> events;
    for (const Report& report : host.Of(WM_FT_MOUSE))
        events.push_back(report.wParam >> 16);
    EXPECT_EQ(events, (std::vector<WPARAM>{5, 1, 2, 5, 1, 6, 2}));
}

TEST_F(ControlsTest, FocusLeavesWithDeactivationAndComesBack) {
    Probe box;
    box.SetID(2030);
    box.SetPos(10, 3, 400, 60);
    box.SetCanTakeFocus(true);
    Manager().AddChild(&box);
    Send(WM_LBUTTONDOWN, 50, 20);
    Send(WM_LBUTTONUP, 50, 20);
    ASSERT_EQ(Manager().GetFocusControl(), &box);
    SendMessageW(host.GetHwnd(), WM_FT_ACTIVATE, 0, 0);
    EXPECT_EQ(Manager().GetFocusControl(), nullptr);
    EXPECT_EQ(box.focusLost, 1);
    SendMessageW(host.GetHwnd(), WM_FT_ACTIVATE, 1, 0);
    EXPECT_EQ(Manager().GetFocusControl(), &box);
    EXPECT_EQ(box.focusGained, 2);
    auto changes = host.Of(WM_FT_FOCUS_CHANGED);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[1].wParam, 0u);
    EXPECT_EQ(changes[1].lParam, 2030);
    // Hiding the box takes the focus with it; showing it brings the focus back.
    box.SetVisible(false);
    EXPECT_EQ(Manager().GetFocusControl(), nullptr);
    box.SetVisible(true);
    EXPECT_EQ(Manager().GetFocusControl(), &box);
}

TEST_F(ControlsTest, ADeferredCallReachesOnlyAControlThatStillExists) {
    Probe kept;
    Manager().AddChild(&kept);
    kept.PostDeferred(&kept, 11);
    {
        Probe gone;
        Manager().AddChild(&gone);
        gone.PostDeferred(&gone, 12);
    }
    Pump();
    EXPECT_EQ(kept.deferred, std::vector<LPARAM>{11});
}

TEST_F(ControlsTest, ASwitchWhosePressADragTookAwayChangesNothing) {
    Scroller settings;
    UiButton toggle;
    settings.SetPos(0, 42, 480, 600);
    toggle.SetID(2029);
    toggle.SetKind(UiButton::SwitchKind);
    toggle.SetToggle(true);
    toggle.SetPos(350, 140, 110, 70);
    settings.AddChild(&toggle);
    Manager().AddChild(&settings);
    Send(WM_LBUTTONDOWN, 400, 210);
    Send(WM_MOUSEMOVE, 400, 211);
    Send(WM_LBUTTONUP, 400, 211);
    Pump();
    EXPECT_FALSE(toggle.IsChecked());
    EXPECT_TRUE(host.Of(WM_FT_COMMAND).empty()) << "the window would flip a setting the switch does not show";
}

TEST_F(ControlsTest, AControlGoneOrHiddenIsNotGivenTheFocusOrKeys) {
    auto panel = std::make_unique<Probe>();
    Probe box;
    box.SetCanTakeFocus(true);
    box.SetPos(0, 0, 200, 60);
    panel->SetPos(0, 100, 480, 200);
    panel->AddChild(&box);
    Manager().AddChild(panel.get());
    box.SetFocus(true);
    // Hidden, then the window loses and regains the activation: the box stays without it.
    panel->SetVisible(false);
    SendMessageW(host.GetHwnd(), WM_FT_ACTIVATE, 0, 0);
    SendMessageW(host.GetHwnd(), WM_FT_ACTIVATE, 1, 0);
    EXPECT_EQ(Manager().GetFocusControl(), nullptr);
    panel->SetVisible(true);
    EXPECT_EQ(Manager().GetFocusControl(), &box);
    // The panel goes first, the box after it: nothing may point at the box meanwhile.
    panel.reset();
    EXPECT_EQ(Manager().GetFocusControl(), nullptr);
    EXPECT_EQ(Manager().GetRememberedFocus(), nullptr);
    SendMessageW(host.GetHwnd(), WM_CHAR, L'a', 0);
}

} // namespace
