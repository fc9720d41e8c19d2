// One redraw of the touch loupe as the finger moves (the screen round the finger, the
// mask, the frame, the overlay filled with its key and flipped) against the platform
// work it stands on, one full-screen BitBlt (FullScreenBitBlt in ToolkitBench).

#include "platform/window/WindowApi.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/TouchLoupe.h"
#include "toolkit/UiEdit.h"

#include <benchmark/benchmark.h>

namespace {

class BoxWindow : public CFtHostWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"BenchLoupeWnd"; }
    BOOL OnInitDialog() override {
        CFtHostWnd::OnInitDialog();
        edit.SetPos(10, 3, 400, 60);
        GetWinManager().AddChild(&edit);
        return TRUE;
    }
    UiEdit edit;
};

void LoupeRedrawOnAMove(benchmark::State& state) {
    BoxWindow window;
    window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0);
    TouchLoupe loupe;
    loupe.Open(window.edit, POINT{200, 400});
    if (!loupe.IsShowing())
        state.SkipWithError("no overlay");
    int x = 200;
    for (auto _ : state) {
        x = x == 200 ? 203 : 200;
        loupe.MoveTo(x, 400);
    }
    loupe.Close();
    window.Destroy();
}
BENCHMARK(LoupeRedrawOnAMove)->Unit(benchmark::kMicrosecond);

} // namespace
