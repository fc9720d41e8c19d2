// The drawing layer against plain memory work, and the message queues.

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "platform/window/WindowApi.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <future>
#include <thread>
#include <vector>

namespace {

struct Screen {
    Screen() : dc(CreateCompatibleDC(nullptr)), bitmap(CreateCompatibleBitmap(dc, 480, 720)) {
        SelectObject(dc, bitmap);
    }
    ~Screen() {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    HDC dc;
    HBITMAP bitmap;
};

void MemcpyFrame(benchmark::State& state) {
    std::vector<std::uint32_t> from(480 * 720, 1), to(480 * 720);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::DoNotOptimize(to.data());
    }
}
BENCHMARK(MemcpyFrame);

void BitBltFrame(benchmark::State& state) {
    Screen from, to;
    for (auto _ : state)
        BitBlt(to.dc, 0, 0, 480, 720, from.dc, 0, 0, SRCCOPY);
}
BENCHMARK(BitBltFrame);

void FillFrame32(benchmark::State& state) {
    std::vector<std::uint32_t> frame(480 * 720);
    for (auto _ : state) {
        std::fill(frame.begin(), frame.end(), 0x00FF8800u);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(FillFrame32);

void FillRectFrame(benchmark::State& state) {
    Screen screen;
    HBRUSH brush = CreateSolidBrush(RGB(0, 136, 255));
    RECT all{0, 0, 480, 720};
    for (auto _ : state)
        FillRect(screen.dc, &all, brush);
    DeleteObject(brush);
}
BENCHMARK(FillRectFrame);

void DrawTwentyChineseCharacters(benchmark::State& state) {
    Screen screen;
    LOGFONTW logical{};
    logical.lfHeight = -20;
    HFONT font = CreateFontIndirectW(&logical);
    SelectObject(screen.dc, font);
    SetBkMode(screen.dc, TRANSPARENT);
    const wchar_t* text = L"优酷土豆五十六六间房视频搜索专辑频道排行播放列表设置";
    RECT line{0, 0, 480, 40};
    DrawTextW(screen.dc, text, 20, &line, DT_SINGLELINE | DT_VCENTER); // warms the glyph cache
    for (auto _ : state)
        DrawTextW(screen.dc, text, 20, &line, DT_SINGLELINE | DT_VCENTER);
    DeleteObject(font);
}
BENCHMARK(DrawTwentyChineseCharacters);

LRESULT Echo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER)
        return static_cast<LRESULT>(wParam + 1);
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND EchoWindow() {
    static bool registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpszClassName = L"EchoWnd";
        windowClass.lpfnWndProc = &Echo;
        return RegisterClassW(&windowClass) != 0;
    }();
    (void)registered;
    return CreateWindowExW(0, L"EchoWnd", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

void PostThenGet(benchmark::State& state) {
    HWND window = EchoWindow();
    MSG message;
    for (auto _ : state) {
        PostMessageW(window, WM_USER, 1, 0);
        GetMessageW(&message, nullptr, 0, 0);
        benchmark::DoNotOptimize(message.wParam);
    }
    DestroyWindow(window);
}
BENCHMARK(PostThenGet);

void SendAcrossThreads(benchmark::State& state) {
    std::promise<HWND> made;
    std::promise<DWORD> thread;
    std::thread owner([&] {
        HWND window = EchoWindow();
        thread.set_value(GetCurrentThreadId());
        made.set_value(window);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
        DestroyWindow(window);
    });
    DWORD ownerThread = thread.get_future().get();
    HWND window = made.get_future().get();
    for (auto _ : state)
        benchmark::DoNotOptimize(SendMessageW(window, WM_USER, 1, 0));
    PostThreadMessageW(ownerThread, WM_QUIT, 0, 0);
    owner.join();
}
BENCHMARK(SendAcrossThreads)->UseRealTime();

} // namespace
