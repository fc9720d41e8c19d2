#include "toolkit/PanelPainter.h"

#include "platform/display/PaintApi.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "platform/window/WindowApi.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr COLORREF PanelFace = RGB(0x26, 0x2D, 0x36);
constexpr COLORREF PanelRim = RGB(0x5A, 0x66, 0x73);
constexpr BYTE PanelOpacity = 236;

// How much of the pixel (x, y) lies inside a box of `width` × `height` whose corners
// are rounded with `radius` (top corners only when `topOnly`): 0 ... 1, smoothed over
// the last pixel so the corners are not jagged.
double Inside(int x, int y, int width, int height, int radius, bool topOnly) {
    double px = x + 0.5, py = y + 0.5;
    double cx = std::clamp(px, static_cast<double>(radius), static_cast<double>(width - radius));
    double bottom = topOnly ? height : height - radius;
    double cy = std::clamp(py, static_cast<double>(radius), bottom);
    double distance = std::hypot(px - cx, py - cy);
    return std::clamp(radius + 0.5 - distance, 0.0, 1.0);
}

std::uint32_t Premultiplied(COLORREF colour, double alpha) {
    auto channel = [alpha](int value) { return static_cast<std::uint32_t>(std::lround(value * alpha)); };
    return channel(255) << 24 | channel(GetRValue(colour)) << 16 | channel(GetGValue(colour)) << 8 |
           channel(GetBValue(colour));
}

} // namespace

void DimArea(HDC dc, const RECT& rect, BYTE alpha) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0 || alpha == 0)
        return;
    // One black pixel stretched over the area with a constant alpha.
    std::uint32_t black = 0;
    HBITMAP pixel = CreateBitmap(1, 1, 1, 32, &black);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, pixel);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
    AlphaBlend(dc, rect.left, rect.top, width, height, source, 0, 0, 1, 1, blend);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(pixel);
}

void DrawPanel(HDC dc, const RECT& rect, PanelStyle style) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return;
    int radius = std::min({style == PanelStyle::Wide ? 10 : 18, width / 2, height / 2});
    bool topOnly = style == PanelStyle::Sheet;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    double opacity = PanelOpacity / 255.0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double inside = Inside(x, y, width, height, radius, topOnly);
            // The rim: the outermost 1.5 pixels of the box, lighter than the face.
            double inner =
                Inside(x - 2, y - 2, width - 4, topOnly ? height : height - 4, std::max(radius - 2, 1), topOnly);
            bool rim = inner < 0.5;
            pixels[static_cast<std::size_t>(y) * width + x] =
                Premultiplied(rim ? PanelRim : PanelFace, inside * opacity);
        }
    }
    HBITMAP bitmap = CreateBitmap(width, height, 1, 32, pixels.data());
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, bitmap);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, rect.left, rect.top, width, height, source, 0, 0, width, height, blend);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(bitmap);
}

void DrawTextBlock(HDC dc, const std::wstring& text, const RECT& area) {
    RECT measured = area;
    DrawTextW(dc, text.c_str(), -1, &measured, DT_CALCRECT | DT_WORDBREAK);
    int blockWidth = measured.right - measured.left, blockHeight = measured.bottom - measured.top;
    int left = area.left + (area.right - area.left - blockWidth) / 2;
    int top = area.top + (area.bottom - area.top - blockHeight) / 2 - 5;
    RECT place{left, top, left + blockWidth, top + blockHeight};
    DrawTextW(dc, text.c_str(), -1, &place, DT_WORDBREAK);
}

SIZE SnapshotSize(int width) { return SIZE{width, width <= 480 ? 720 : 480}; }

void ScreenSnapshot::Take(HWND window, int width, int height, BYTE dim) {
    if (IsTaken() || width <= 0 || height <= 0)
        return;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    HDC screen = ::GetDC(nullptr);
    if (m_buffer.Create(width, height, screen))
        BitBlt(m_buffer.GetDC(), 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    ReleaseDC(nullptr, screen);
    if (dim)
        DimArea(m_buffer.GetDC(), RECT{0, 0, width, height}, dim);
}

void ScreenSnapshot::Draw(HDC dc, const RECT& clip) const {
    if (!IsTaken())
        return;
    BitBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, m_buffer.GetDC(), clip.left,
           clip.top, SRCCOPY);
}
