#include "platform/display/PaintApi.h"

#include "platform/base/LastError.h"
#include "platform/display/Display.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/window/WindowApi.h"

#include <algorithm>
#include <cwctype>

using namespace platform;

namespace {

RectRegion VisibleRegion(const WindowPlacement& placement) {
    if (!placement.visible)
        return RectRegion();
    RectRegion region(placement.window);
    for (const RECT& ancestor : placement.ancestors)
        region.Intersect(ancestor);
    for (const RECT& above : placement.above)
        region.Subtract(above);
    return region;
}

HDC WindowDC(HWND window, const RECT* within) {
    WindowPlacement placement;
    if (!PlacementOf(window, placement))
        return nullptr;
    RectRegion region = VisibleRegion(placement);
    if (within)
        region.Intersect(RECT{within->left + placement.window.left, within->top + placement.window.top,
                              within->right + placement.window.left, within->bottom + placement.window.top});
    return CreateTargetDC(ScreenSurface(), {placement.window.left, placement.window.top}, std::move(region),
                          &ScreenChanged);
}

} // namespace

HDC GetDC(HWND window) {
    if (!window)
        return CreateTargetDC(ScreenSurface(), {0, 0}, RectRegion(ScreenSurface()->Bounds()), &ScreenChanged);
    return WindowDC(window, nullptr);
}

int ReleaseDC(HWND, HDC dc) { return DeleteDC(dc) ? 1 : 0; }

HDC CreateDCW(LPCWSTR driver, LPCWSTR, LPCWSTR, const void*) {
    std::wstring name = driver ? driver : L"";
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return std::towupper(c); });
    if (name != L"DISPLAY") {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return GetDC(nullptr);
}

namespace {

bool EraseBackground(HWND window, HDC dc, HBRUSH background) {
    RECT client;
    return GetClientRect(window, &client) && FillRect(dc, &client, background);
}

void PaintNothing(HWND window) {
    PAINTSTRUCT paint;
    if (BeginPaint(window, &paint))
        EndPaint(window, &paint);
}

// The window layer cannot draw: it asks the display to erase and to paint by default.
const bool g_hooked = [] {
    SetBackgroundEraser(&EraseBackground);
    SetDefaultPainter(&PaintNothing);
    return true;
}();

} // namespace

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    if (!paint || !IsWindow(window))
        return nullptr;
    RECT update{};
    if (!GetUpdateRect(window, &update, FALSE))
        GetClientRect(window, &update);
    ValidateRect(window, nullptr);
    HDC dc = WindowDC(window, &update);
    HBRUSH background = nullptr;
    // fErase tells the window that it must erase the background itself.
    bool erase = TakeEraseRequest(window, background);
    BOOL unerased = erase && !SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? TRUE : FALSE;
    *paint = PAINTSTRUCT{dc, unerased, update, FALSE, FALSE, {}};
    return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint) {
    if (!paint)
        return FALSE;
    DeleteDC(paint->hdc);
    return TRUE;
}
