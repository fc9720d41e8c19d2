#include "platform/gdi/Surface.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace platform {
namespace {

// The part of `to` whose source, read from `from` on, stays inside the source bounds.
RECT WithinSource(const RECT& to, POINT from, const RECT& sourceBounds) {
    RECT sourceInTarget{sourceBounds.left - from.x + to.left, sourceBounds.top - from.y + to.top,
                        sourceBounds.right - from.x + to.left, sourceBounds.bottom - from.y + to.top};
    return IntersectRects(to, sourceInTarget);
}

// Calls `draw(area)` for every non-empty part of `rect` inside one clip rectangle and the target.
template <class Draw> void ForEachClipped(const Surface& target, const RECT& rect, const RectRegion& clip, Draw draw) {
    for (const RECT& part : clip.Rects()) {
        RECT area = IntersectRects(IntersectRects(rect, part), target.Bounds());
        if (!IsEmptyRect(area))
            draw(area);
    }
}

BYTE Channel(Pixel pixel, int shift) { return static_cast<BYTE>((pixel >> shift) & 0xFF); }

Pixel Pack(unsigned alpha, unsigned red, unsigned green, unsigned blue) {
    return (alpha << 24) | (red << 16) | (green << 8) | blue;
}

// x / 255 for x up to 255 × 255, without a division.
inline unsigned Divide255(unsigned x) { return (x + 1 + (x >> 8)) >> 8; }

// Source over destination with the source scaled by `alpha` (0..255); `premultiplied`
// when the source's colour channels are already multiplied by its own alpha.
Pixel Over(Pixel destination, Pixel source, unsigned alpha, bool perPixel) {
    // A premultiplied pixel that is wholly clear adds nothing (most of a frame or an icon).
    if (perPixel && source == 0)
        return destination;
    unsigned sourceAlpha = perPixel ? Divide255(Channel(source, 24) * alpha) : alpha;
    // Most pixels of an image are wholly clear or wholly opaque.
    if (alpha == 255 && sourceAlpha == 255)
        return source | 0xFF000000;
    if (sourceAlpha == 0 && (alpha == 0 || (source & 0x00FFFFFF) == 0))
        return destination;
    unsigned keep = 255 - sourceAlpha;
    auto mix = [&](int shift) {
        // A premultiplied source already carries its own alpha: only the constant applies.
        unsigned contribution = Divide255(Channel(source, shift) * alpha);
        return std::min(255u, contribution + Divide255(Channel(destination, shift) * keep));
    };
    return Pack(std::min(255u, sourceAlpha + Divide255(Channel(destination, 24) * keep)), mix(16), mix(8), mix(0));
}

// Over for the usual case, a premultiplied source at full constant alpha, exactly as Over
// computes it: each channel is min(255, source + Divide255(destination × (255 − source
// alpha))), worked two channels at a time (a 16-bit lane holds at most 255 × 255 + 255).
inline Pixel OverPremultiplied(Pixel destination, Pixel source) {
    unsigned keep = 255 - (source >> 24);
    auto kept = [keep](Pixel pair) {
        Pixel x = pair * keep;
        return ((x + 0x00010001 + ((x >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
    };
    auto saturated = [](Pixel lanes) {
        Pixel over = lanes & 0x01000100;
        return (lanes | (over - (over >> 8))) & 0x00FF00FF;
    };
    Pixel blueRed = saturated((source & 0x00FF00FF) + kept(destination & 0x00FF00FF));
    Pixel greenAlpha = saturated(((source >> 8) & 0x00FF00FF) + kept((destination >> 8) & 0x00FF00FF));
    return blueRed | greenAlpha << 8;
}

// The first index from `from` on (below `to`) whose pixel is not `value`: four pixels a
// step through the long runs of a mask or of an image's clear parts.
inline int RunEnd(const Pixel* pixels, int from, int to, Pixel value) {
    std::uint64_t pair = static_cast<std::uint64_t>(value) << 32 | value;
    int x = from;
    for (; x + 4 <= to; x += 4) {
        std::uint64_t first, second;
        std::memcpy(&first, pixels + x, sizeof first);
        std::memcpy(&second, pixels + x + 2, sizeof second);
        if (first != pair || second != pair)
            break;
    }
    while (x < to && pixels[x] == value)
        ++x;
    return x;
}

// Holds the locks of the surfaces an operation touches, each once.
class Locks {
public:
    Locks(const Surface& a, const Surface* b = nullptr, const Surface* c = nullptr) {
        for (const Surface* surface : {&a, b, c}) {
            if (surface && std::find(m_taken.begin(), m_taken.end(), &surface->Lock()) == m_taken.end())
                m_taken.push_back(&surface->Lock());
        }
        // A fixed order keeps two operations on the same pair from waiting on each other.
        std::sort(m_taken.begin(), m_taken.end());
        for (std::mutex* lock : m_taken)
            lock->lock();
    }
    ~Locks() {
        for (std::mutex* lock : m_taken)
            lock->unlock();
    }
    Locks(const Locks&) = delete;
    Locks& operator=(const Locks&) = delete;

private:
    std::vector<std::mutex*> m_taken;
};

int SourceCoordinate(int position, int toStart, int toSize, int fromStart, int fromSize) {
    // The centre of the target pixel, mapped into the source.
    return fromStart +
           static_cast<int>((static_cast<long long>(position - toStart) * 2 + 1) * fromSize / (2LL * toSize));
}

} // namespace

Pixel PixelFromColor(COLORREF color) { return Pack(0, color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

COLORREF ColorFromPixel(Pixel pixel) {
    return static_cast<COLORREF>(Channel(pixel, 16)) | (static_cast<COLORREF>(Channel(pixel, 8)) << 8) |
           (static_cast<COLORREF>(Channel(pixel, 0)) << 16);
}

Surface::Surface(int width, int height, bool bottomUp)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_bottomUp(bottomUp),
      m_pixels(static_cast<std::size_t>(m_width) * m_height, 0) {}

void FillPixels(Surface& target, const RECT& rect, Pixel pixel, const RectRegion& clip) {
    Locks locks(target);
    ForEachClipped(target, rect, clip, [&](const RECT& area) {
        for (int y = area.top; y < area.bottom; ++y)
            std::fill(target.Row(y) + area.left, target.Row(y) + area.right, pixel);
    });
}

void CopyPixels(Surface& target, const RECT& to, const Surface& source, POINT from, const RectRegion& clip) {
    Locks locks(target, &source);
    bool sameSurface = &target == &source;
    ForEachClipped(target, WithinSource(to, from, source.Bounds()), clip, [&](const RECT& area) {
        int dx = from.x - to.left, dy = from.y - to.top;
        std::size_t bytes = static_cast<std::size_t>(area.right - area.left) * sizeof(Pixel);
        // Within one surface, rows are taken in the order that never reads a row already written.
        bool upward = sameSurface && dy < 0;
        for (int i = 0; i < area.bottom - area.top; ++i) {
            int y = upward ? area.bottom - 1 - i : area.top + i;
            std::memmove(target.Row(y) + area.left, source.Row(y + dy) + area.left + dx, bytes);
        }
    });
}

namespace {

// Calls `combine(targetPixel, sourcePixel)` for every target pixel of `to` inside the
// clip, with the source pixel its centre falls on when `from` is scaled onto `to`.
template <class Combine>
void ForEachScaled(Surface& target, const RECT& to, const Surface& source, const RECT& from, const RectRegion& clip,
                   Combine combine) {
    Locks locks(target, &source);
    int toWidth = to.right - to.left, toHeight = to.bottom - to.top;
    int fromWidth = from.right - from.left, fromHeight = from.bottom - from.top;
    if (toWidth <= 0 || toHeight <= 0 || fromWidth <= 0 || fromHeight <= 0)
        return;
    ForEachClipped(target, to, clip, [&](const RECT& area) {
        for (int y = area.top; y < area.bottom; ++y) {
            int sy = SourceCoordinate(y, to.top, toHeight, from.top, fromHeight);
            if (sy < 0 || sy >= source.Height())
                continue;
            Pixel* row = target.Row(y);
            const Pixel* sourceRow = source.Row(sy);
            if (toWidth == fromWidth) {
                // Unscaled rows (every image drawn at its size): no mapping per pixel.
                int first = std::max(area.left, to.left - from.left),
                    last = std::min(area.right, to.left - from.left + source.Width());
                // Locals, so that the rectangles are not read again after every store.
                const Pixel* shifted = sourceRow + (from.left - to.left);
                for (int x = first; x < last; ++x)
                    combine(row[x], shifted[x]);
                continue;
            }
            for (int x = area.left; x < area.right; ++x) {
                int sx = SourceCoordinate(x, to.left, toWidth, from.left, fromWidth);
                if (sx >= 0 && sx < source.Width())
                    combine(row[x], sourceRow[sx]);
            }
        }
    });
}

} // namespace

void StretchPixels(Surface& target, const RECT& to, const Surface& source, const RECT& from, const RectRegion& clip) {
    ForEachScaled(target, to, source, from, clip, [](Pixel& pixel, Pixel sourcePixel) { pixel = sourcePixel; });
}

// An image drawn at its size, the usual case: its clear runs are passed over, its opaque
// pixels copied, the rest blended.
static void BlendPremultiplied(Surface& target, const RECT& to, const Surface& source, POINT from,
                               const RectRegion& clip) {
    Locks locks(target, &source);
    ForEachClipped(target, WithinSource(to, from, source.Bounds()), clip, [&](const RECT& area) {
        for (int y = area.top; y < area.bottom; ++y) {
            Pixel* row = target.Row(y);
            const Pixel* shifted = source.Row(y - to.top + from.y) + (from.x - to.left);
            for (int x = RunEnd(shifted, area.left, area.right, 0); x < area.right;
                 x = RunEnd(shifted, x, area.right, 0)) {
                for (; x < area.right && shifted[x] != 0; ++x) {
                    Pixel pixel = shifted[x];
                    row[x] = pixel >> 24 == 255 ? pixel : OverPremultiplied(row[x], pixel);
                }
            }
        }
    });
}

void BlendPixels(Surface& target, const RECT& to, const Surface& source, const RECT& from, BYTE constantAlpha,
                 bool perPixel, const RectRegion& clip) {
    bool unscaled = to.right - to.left == from.right - from.left && to.bottom - to.top == from.bottom - from.top;
    if (perPixel && constantAlpha == 255 && unscaled) {
        BlendPremultiplied(target, to, source, POINT{from.left, from.top}, clip);
        return;
    }
    ForEachScaled(target, to, source, from, clip,
                  [&](Pixel& pixel, Pixel sourcePixel) { pixel = Over(pixel, sourcePixel, constantAlpha, perPixel); });
}

void MaskPixels(Surface& target, const RECT& to, const Surface& source, POINT from, const Surface& mask, POINT maskFrom,
                bool keepWhereSet, const RectRegion& clip) {
    Locks locks(target, &source, &mask);
    ForEachClipped(target, WithinSource(to, from, source.Bounds()), clip, [&](const RECT& area) {
        for (int y = area.top; y < area.bottom; ++y) {
            int my = y - to.top + maskFrom.y;
            Pixel* row = target.Row(y);
            const Pixel* sourceRow = source.Row(y - to.top + from.y) + from.x - to.left;
            // The mask's part of the row, in the row's co-ordinates; clear beside it.
            int offset = maskFrom.x - to.left;
            int maskLeft = std::max(area.left, -offset), maskRight = std::min(area.right, mask.Width() - offset);
            const Pixel* maskRow = my >= 0 && my < mask.Height() ? mask.Row(my) + offset : nullptr;
            if (!maskRow)
                maskLeft = maskRight = area.left;
            auto isSet = [&](int x) { return x >= maskLeft && x < maskRight && (maskRow[x] & 0x00FFFFFF) != 0; };
            // The row in runs of equal mask bits: a run to copy goes in one move.
            for (int x = area.left; x < area.right;) {
                bool set = isSet(x);
                int end = x + 1;
                if (x >= maskLeft && x < maskRight) {
                    // A 1-bit mask holds two values: a run ends where the value changes.
                    end = RunEnd(maskRow, x + 1, maskRight, maskRow[x]);
                } else {
                    while (end < area.right && !(end >= maskLeft && end < maskRight))
                        ++end;
                }
                if (set != keepWhereSet)
                    std::memmove(row + x, sourceRow + x, static_cast<std::size_t>(end - x) * sizeof(Pixel));
                x = end;
            }
        }
    });
}

void VerticalGradient(Surface& target, const RECT& rect, Pixel top, Pixel bottom, const RectRegion& clip) {
    Locks locks(target);
    int height = rect.bottom - rect.top;
    if (height <= 0)
        return;
    ForEachClipped(target, rect, clip, [&](const RECT& area) {
        for (int y = area.top; y < area.bottom; ++y) {
            int step = y - rect.top;
            auto mix = [&](int shift) {
                int a = Channel(top, shift), b = Channel(bottom, shift);
                return static_cast<unsigned>(a + (b - a) * step / std::max(height - 1, 1));
            };
            Pixel pixel = Pack(0, mix(16), mix(8), mix(0));
            std::fill(target.Row(y) + area.left, target.Row(y) + area.right, pixel);
        }
    });
}

void BlendCoverage(Surface& target, POINT origin, const CoverageMask& mask, Pixel color, const RectRegion& clip) {
    Locks locks(target);
    RECT placed{origin.x, origin.y, origin.x + mask.width, origin.y + mask.height};
    ForEachClipped(target, placed, clip, [&](const RECT& area) {
        for (int y = area.top; y < area.bottom; ++y) {
            Pixel* row = target.Row(y);
            const std::uint8_t* coverage = mask.coverage.data() + static_cast<std::size_t>(y - origin.y) * mask.width;
            for (int x = area.left; x < area.right; ++x) {
                unsigned a = coverage[x - origin.x];
                if (a == 0)
                    continue;
                Pixel under = row[x];
                if (a == 255) {
                    row[x] = (under & 0xFF000000) | (color & 0x00FFFFFF);
                    continue;
                }
                auto mix = [&](int shift) {
                    return Divide255(Channel(color, shift) * a + Channel(under, shift) * (255 - a));
                };
                row[x] = Pack(Channel(under, 24), mix(16), mix(8), mix(0));
            }
        }
    });
}

} // namespace platform
