#pragma once
// A 32-bit pixel buffer (0xAARRGGBB in a 32-bit word: blue in the lowest byte, as a
// device-independent bitmap holds it) and the raster operations on it. Every
// operation draws only inside the given clip rectangles, which must lie inside the
// surface. Each operation holds the surfaces' locks while it works, so a display may read
// the screen surface (under Lock) while windows draw on it.

#include "platform/base/Win32Types.h"
#include "platform/gdi/RectRegion.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace platform {

using Pixel = std::uint32_t;

Pixel PixelFromColor(COLORREF color);
COLORREF ColorFromPixel(Pixel pixel);

class Surface {
public:
    // `bottomUp` lays the rows out from the last to the first, as a bitmap of positive height does.
    Surface(int width, int height, bool bottomUp = false);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    RECT Bounds() const { return {0, 0, m_width, m_height}; }
    Pixel* Row(int y) { return m_pixels.data() + static_cast<std::size_t>(RowIndex(y)) * m_width; }
    const Pixel* Row(int y) const { return m_pixels.data() + static_cast<std::size_t>(RowIndex(y)) * m_width; }
    // The memory as a bitmap's bits: the first row in memory first.
    void* Bits() { return m_pixels.data(); }
    std::mutex& Lock() const { return m_lock; }

private:
    int RowIndex(int y) const { return m_bottomUp ? m_height - 1 - y : y; }

    int m_width;
    int m_height;
    bool m_bottomUp;
    std::vector<Pixel> m_pixels;
    mutable std::mutex m_lock;
};

// 8-bit coverage, one byte a pixel, row after row.
struct CoverageMask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;
};

void FillPixels(Surface& target, const RECT& rect, Pixel pixel, const RectRegion& clip);
// Copies `source` from `from` to the rectangle `to` of the target (same size).
void CopyPixels(Surface& target, const RECT& to, const Surface& source, POINT from, const RectRegion& clip);
// Scales the source rectangle onto the target rectangle, nearest pixel.
void StretchPixels(Surface& target, const RECT& to, const Surface& source, const RECT& from, const RectRegion& clip);
// Blends the source rectangle over the target rectangle (scaled, nearest pixel): with a
// constant alpha, and with the source's own premultiplied alpha when `perPixel`.
void BlendPixels(Surface& target, const RECT& to, const Surface& source, const RECT& from, BYTE constantAlpha,
                 bool perPixel, const RectRegion& clip);
// Where the 1-bit mask is set the target keeps its pixel if `keepWhereSet`, else takes
// the source's; where it is clear, the other way round.
void MaskPixels(Surface& target, const RECT& to, const Surface& source, POINT from, const Surface& mask, POINT maskFrom,
                bool keepWhereSet, const RectRegion& clip);
// Colours running from `top` at the rectangle's top to `bottom` at its bottom.
void VerticalGradient(Surface& target, const RECT& rect, Pixel top, Pixel bottom, const RectRegion& clip);
// Paints `color` over the target by the mask's coverage, the mask's top left at `origin`.
void BlendCoverage(Surface& target, POINT origin, const CoverageMask& mask, Pixel color, const RectRegion& clip);

} // namespace platform
