// The controls against the platform work they stand on: a whole paint of a window of
// twenty controls through its back buffer against one full-screen blit (ToolkitBench).

#include "platform/window/WindowApi.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/Image.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"
#include "toolkit/UiButton.h"
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

} // namespace
