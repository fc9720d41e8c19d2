#include "platform/gdi/RectRegion.h"

#include "platform/gdi/GdiApi.h"

#include <algorithm>

namespace platform {

bool IsEmptyRect(const RECT& rect) { return rect.left >= rect.right || rect.top >= rect.bottom; }

RECT IntersectRects(const RECT& a, const RECT& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

RectRegion::RectRegion(const RECT& rect) {
    if (!IsEmptyRect(rect))
        m_rects.push_back(rect);
}

RECT RectRegion::Bounds() const {
    if (m_rects.empty())
        return {};
    RECT bounds = m_rects.front();
    for (const RECT& rect : m_rects)
        bounds = {std::min(bounds.left, rect.left), std::min(bounds.top, rect.top), std::max(bounds.right, rect.right),
                  std::max(bounds.bottom, rect.bottom)};
    return bounds;
}

void RectRegion::Intersect(const RECT& clip) {
    std::vector<RECT> kept;
    for (const RECT& rect : m_rects) {
        RECT part = IntersectRects(rect, clip);
        if (!IsEmptyRect(part))
            kept.push_back(part);
    }
    m_rects = std::move(kept);
}

void RectRegion::Intersect(const RectRegion& other) {
    std::vector<RECT> kept;
    for (const RECT& rect : m_rects) {
        for (const RECT& clip : other.m_rects) {
            RECT part = IntersectRects(rect, clip);
            if (!IsEmptyRect(part))
                kept.push_back(part);
        }
    }
    m_rects = std::move(kept);
}

void RectRegion::Subtract(const RECT& hole) {
    std::vector<RECT> kept;
    for (const RECT& rect : m_rects) {
        RECT cut = IntersectRects(rect, hole);
        if (IsEmptyRect(cut)) {
            kept.push_back(rect);
            continue;
        }
        // What is left: the bands above and below the hole, and the parts beside it.
        if (rect.top < cut.top)
            kept.push_back({rect.left, rect.top, rect.right, cut.top});
        if (cut.bottom < rect.bottom)
            kept.push_back({rect.left, cut.bottom, rect.right, rect.bottom});
        if (rect.left < cut.left)
            kept.push_back({rect.left, cut.top, cut.left, cut.bottom});
        if (cut.right < rect.right)
            kept.push_back({cut.right, cut.top, rect.right, cut.bottom});
    }
    m_rects = std::move(kept);
}

void RectRegion::Offset(int dx, int dy) {
    for (RECT& rect : m_rects)
        rect = {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

} // namespace platform

BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b) {
    if (!out || !a || !b)
        return FALSE;
    *out = platform::IntersectRects(*a, *b);
    if (platform::IsEmptyRect(*out)) {
        *out = RECT{};
        return FALSE;
    }
    return TRUE;
}

BOOL InflateRect(RECT* rect, int dx, int dy) {
    if (!rect)
        return FALSE;
    rect->left -= dx, rect->right += dx, rect->top -= dy, rect->bottom += dy;
    return TRUE;
}

BOOL OffsetRect(RECT* rect, int dx, int dy) {
    if (!rect)
        return FALSE;
    rect->left += dx, rect->right += dx, rect->top += dy, rect->bottom += dy;
    return TRUE;
}

BOOL PtInRect(const RECT* rect, POINT point) {
    return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top && point.y < rect->bottom;
}

BOOL IsRectEmpty(const RECT* rect) { return !rect || platform::IsEmptyRect(*rect); }
