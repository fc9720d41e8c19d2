// The controls against the platform work they stand on (FullScreenBitBlt in
// ToolkitBench): a whole paint of a window of twenty controls through its back buffer;
// a 20-pixel step of a list reusing the pixels on the screen against a full repaint; a
// whole fling of a long list, to set against as many full-screen blits as it has ticks.

#include "platform/window/WindowApi.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/Image.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"
#include "toolkit/ToolkitMessages.h"
#include "toolkit/UiButton.h"
#include "toolkit/UiList.h"
#include "toolkit/UiSettingRow.h"
#include "toolkit/UiStatic.h"
#include "toolkit/UiToolBar.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A settings-like window: a caption, fourteen rows (half with switches), three buttons,
// a label and a tool bar: twenty controls.
class TwentyControls : public CFtHostWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"BenchControlsWnd"; }
    BOOL OnInitDialog() override {
        CFtHostWnd::OnInitDialog();
        caption.SetText(L"设置");
        caption.SetPos(0, 0, 480, 42);
        GetWinManager().AddChild(&caption);
        for (int i = 0; i < 14; ++i) {
            rows[i].SetLabel((L"设置项 " + std::to_wstring(i + 1)).c_str());
            rows[i].SetPos(0, 42 + 34 * i, 480, 34);
            if (i % 2)
                rows[i].AddSwitch(3000 + i, i % 4 == 1);
            else
                rows[i].SetValue(L"\\Storage Card\\Quillora"), rows[i].SetArrow(true);
            GetWinManager().AddChild(&rows[i]);
        }
        for (int i = 0; i < 3; ++i) {
            buttons[i].SetText(L"按钮");
            buttons[i].SetKind(i == 2 ? 5 : 1);
            buttons[i].SetPos(10 + 155 * i, 530, 150, 60);
            GetWinManager().AddChild(&buttons[i]);
        }
        label.SetText(L"感谢解析服务器的提供者");
        label.SetPos(25, 600, 440, 30);
        GetWinManager().AddChild(&label);
        bar.SetButtonText(0, L"取消");
        bar.SetButtonText(2, L"确认");
        bar.SetPos(0, 655, 480, 65);
        GetWinManager().AddChild(&bar);
        return TRUE;
    }
    UiCaption caption;
    UiSettingRow rows[14];
    UiButton buttons[3];
    UiStatic label;
    UiToolBar bar;
};

void PaintTwentyControls(benchmark::State& state) {
    TwentyControls window;
    window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0);
    window.Show(true, false);
    window.Update(); // loads the images and the fonts once
    for (auto _ : state) {
        window.Invalidate(nullptr, false);
        window.Update();
    }
    window.Destroy();
}
BENCHMARK(PaintTwentyControls)->Unit(benchmark::kMicrosecond);

// A full-screen list of text rows under nothing else.
class ListWindow : public CFtHostWnd {
public:
    explicit ListWindow(int rows) : m_rows(rows) {}
    const wchar_t* GetFtClassName() const override { return L"BenchListWnd"; }
    BOOL OnInitDialog() override {
        CFtHostWnd::OnInitDialog();
        list.SetPos(0, 0, 480, 720);
        for (int row = 0; row < m_rows; ++row)
            list.AddItem((L"列表项 " + std::to_wstring(row) + L" · a row of text").c_str());
        GetWinManager().AddChild(&list);
        return TRUE;
    }
    UiList list;

private:
    int m_rows;
};

// One 20-pixel step of the list, down then up, through the path of state.range(0):
// 1 reuses the pixels on the screen, 0 repaints the whole list.
void ListStepOf20Pixels(benchmark::State& state) {
    ListWindow window(200);
    window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0);
    window.Show(true, false);
    window.Update();
    window.list.SetOptimisedScroll(state.range(0) != 0);
    int step = -20;
    for (auto _ : state) {
        window.list.SetTopPos(window.list.GetTopPos() + step);
        step = window.list.GetTopPos() <= -2000 ? 20 : window.list.GetTopPos() >= 0 ? -20 : step;
    }
    window.Destroy();
}
BENCHMARK(ListStepOf20Pixels)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// A fling over 2,000 rows from speed 300 to rest, tick by tick as the timer would run it;
// "ticks" is how many full-screen blits the same number of frames would cost.
void FlingOver2000Rows(benchmark::State& state) {
    ListWindow window(2000);
    window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0);
    window.Show(true, false);
    window.Update();
    window.list.SetID(2025);
    long long ticks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        window.list.StopScroll();
        window.list.SetTopPos(0);
        state.ResumeTiming();
        window.list.StartFling(-300);
        while (window.list.IsScrolling()) {
            window.list.OnTimer(FtControlTimer + 2025);
            ++ticks;
        }
    }
    state.counters["ticks"] = benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kAvgIterations);
    window.Destroy();
}
BENCHMARK(FlingOver2000Rows)->Unit(benchmark::kMillisecond);

} // namespace
