// The toolkit against the platform work it stands on: a transition frame against one
// full-screen blit, a cached image against a bare map lookup.

#include "platform/device/Module.h"
#include "platform/display/PaintApi.h"
#include "platform/gdi/GdiApi.h"
#include "toolkit/FtWnd.h"
#include "toolkit/Image.h"
#include "toolkit/Transition.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <png.h>
#include <tuple>

namespace {

void FullScreenBitBlt(benchmark::State& state) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 480, 720);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    for (auto _ : state)
        BitBlt(screen, 0, 0, 480, 720, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}
BENCHMARK(FullScreenBitBlt);

class Painted : public CFtWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"BenchWnd"; }
    void PaintWin(HDC dc, const RECT& rect) override {
        HBRUSH brush = CreateSolidBrush(RGB(30, 120, 200));
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
};

// One whole slide up of a 480 × 720 window: 23 frames, plus capturing the screen and
// drawing the window once. The time per frame is this over 23.
void SlideUpTransition(benchmark::State& state) {
    ::setenv("QUILLORA_TRANSITION_FRAME_MS", "0", 1);
    Painted window;
    window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0);
    int frames = 0;
    SetTransitionFrameObserver([&](int, int) { ++frames; });
    for (auto _ : state)
        AnimateWindow(window, 1, true);
    SetTransitionFrameObserver(nullptr);
    state.counters["frames"] = benchmark::Counter(frames, benchmark::Counter::kAvgIterations);
}
BENCHMARK(SlideUpTransition)->Unit(benchmark::kMicrosecond);

std::string OnePixelPng() {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = image.height = 1;
    image.format = PNG_FORMAT_BGRA;
    std::uint32_t pixel = 0x80FFFFFF;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, &pixel, 0, nullptr);
    std::string bytes(size, '\0');
    png_image_write_to_memory(&image, bytes.data(), &size, 0, &pixel, 0, nullptr);
    return bytes;
}

void CachedLoadImage(benchmark::State& state) {
    static const std::string png = OnePixelPng();
    platform::RegisterProgramResources({{10, 1001, 2052, png}});
    HMODULE program = GetModuleHandleW(nullptr);
    LoadImage(program, 1001, ImageWithBitmap);
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadImage(program, 1001, ImageWithBitmap));
}
BENCHMARK(CachedLoadImage);

void MapLookup(benchmark::State& state) {
    std::map<std::tuple<void*, unsigned, unsigned>, int> map;
    for (unsigned id = 1001; id <= 1014; ++id)
        map[{nullptr, id, 1}] = static_cast<int>(id);
    for (auto _ : state)
        benchmark::DoNotOptimize(map.find({nullptr, 1001u, 1u}));
}
BENCHMARK(MapLookup);

} // namespace
