#pragma once
// A region as a list of disjoint rectangles: what clipping needs (intersection with a
// rectangle, removal of a rectangle), nothing more.

#include "platform/base/Win32Types.h"

#include <vector>

namespace platform {

bool IsEmptyRect(const RECT& rect);
RECT IntersectRects(const RECT& a, const RECT& b);

class RectRegion {
public:
    RectRegion() = default;
    explicit RectRegion(const RECT& rect);

    const std::vector<RECT>& Rects() const { return m_rects; }
    bool IsEmpty() const { return m_rects.empty(); }
    RECT Bounds() const;

    void Intersect(const RECT& rect);
    void Intersect(const RectRegion& other);
    void Subtract(const RECT& rect);
    void Offset(int dx, int dy);

private:
    std::vector<RECT> m_rects;
};

} // namespace platform
