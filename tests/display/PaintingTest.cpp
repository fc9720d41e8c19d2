#include "platform/display/Display.h"
#include "platform/display/PaintApi.h"
#include "platform/gdi/GdiApi.h"
#include "platform/window/WindowApi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF color = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return color;
}

int g_paints = 0;

// Paints its whole client area in the colour kept in its user data.
LRESULT SolidProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    ++g_paints;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongW(window, GWL_USERDATA)));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(window, &paint);
    return 0;
}

void Pump() {
    MSG message;
    for (int i = 0; i < 50; ++i) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

HWND Solid(int x, int y, int width, int height, COLORREF color, HWND parent = nullptr) {
    HWND window = CreateWindowExW(0, L"SolidWnd", L"", (parent ? WS_CHILD : WS_POPUP), x, y, width, height, parent,
                                  nullptr, nullptr, nullptr);
    SetWindowLongW(window, GWL_USERDATA, static_cast<LONG>(color));
    ShowWindow(window, SW_SHOW);
    return window;
}

TEST(Painting, OverlappingWindowsRepaintWithoutOverwritingEachOther) {
    WNDCLASSW windowClass{};
    windowClass.lpszClassName = L"SolidWnd";
    windowClass.lpfnWndProc = &SolidProc;
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    HWND below = Solid(0, 0, 300, 300, RGB(255, 0, 0));
    HWND above = Solid(200, 200, 200, 200, RGB(0, 0, 255));
    HWND child = Solid(10, 10, 50, 50, RGB(0, 255, 0), below);
    Pump();
    EXPECT_EQ(ScreenPixel(100, 100), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(250, 250), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(20, 20), RGB(0, 255, 0));

    // The lower window paints all of itself again: the window above stays as it was.
    g_paints = 0;
    InvalidateRect(below, nullptr, TRUE);
    Pump();
    EXPECT_GE(g_paints, 1);
    EXPECT_EQ(ScreenPixel(250, 250), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(299, 199), RGB(255, 0, 0));

    // Hiding the upper window repaints what it covered.
    ShowWindow(above, SW_HIDE);
    Pump();
    EXPECT_EQ(ScreenPixel(250, 250), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(350, 350), RGB(0, 0, 255)); // nothing painted there since; the screen keeps it
    RECT dirty = platform::TakeDirtyRect();
    EXPECT_FALSE(dirty.right <= dirty.left);

    auto file = std::filesystem::path(::testing::TempDir()) / "overlapping-windows.png";
    EXPECT_TRUE(platform::SaveScreenshot(file));
    EXPECT_GT(std::filesystem::file_size(file), 100u);
    DestroyWindow(child);
    DestroyWindow(above);
    DestroyWindow(below);
}

TEST(Painting, TheScreenContextAnswersForTheWholeScreen) {
    HDC screen = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 480);
    EXPECT_EQ(GetDeviceCaps(screen, VERTRES), 720);
    DeleteDC(screen);
    EXPECT_EQ(CreateDCW(L"PRINTER", nullptr, nullptr, nullptr), nullptr);
}

} // namespace

namespace {

TEST(Painting, TheClassBrushErasesAWindowThatDrawsNothing) {
    HBRUSH teal = CreateSolidBrush(RGB(0, 128, 128));
    WNDCLASSW windowClass{};
    windowClass.lpszClassName = L"PlainWnd";
    windowClass.lpfnWndProc = &DefWindowProcW;
    windowClass.hbrBackground = teal;
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    HWND window = CreateWindowExW(0, L"PlainWnd", L"", WS_POPUP | WS_VISIBLE, 400, 600, 60, 60, nullptr, nullptr,
                                  nullptr, nullptr);
    Pump();
    EXPECT_EQ(ScreenPixel(430, 630), RGB(0, 128, 128));
    RECT update;
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
    DestroyWindow(window);
    DeleteObject(teal);
}

} // namespace
