#include "platform/base/LastError.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace platform;

namespace {

// The raster operations a mask chooses between, as the high byte of a ternary code.
constexpr DWORD CopySource = 0xCC;
constexpr DWORD KeepDestination = 0xAA;

RECT Normalised(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

void Fill(DeviceContextObject& dc, const RECT& rect, COLORREF color) {
    RECT target = dc.ToTarget(rect);
    FillPixels(*dc.target, target, PixelFromColor(color), dc.Clip());
    dc.Drawn(target);
}

// A line one pen wide, both ends included except the last point, as GDI draws it.
void Line(DeviceContextObject& dc, POINT from, POINT to) {
    if (!dc.pen || dc.pen->penStyle == PS_NULL)
        return;
    int width = dc.pen->penWidth;
    int dx = std::abs(to.x - from.x), dy = -std::abs(to.y - from.y);
    int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    POINT at = from;
    RECT bounds = Normalised(from.x, from.y, to.x + 1, to.y + 1);
    Pixel pixel = PixelFromColor(dc.pen->color);
    RectRegion clip = dc.Clip();
    while (at.x != to.x || at.y != to.y) {
        RECT dot =
            dc.ToTarget({at.x - (width - 1) / 2, at.y - (width - 1) / 2, at.x + width / 2 + 1, at.y + width / 2 + 1});
        FillPixels(*dc.target, dot, pixel, clip);
        int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            at.x += sx;
        }
        if (twice <= dx) {
            error += dx;
            at.y += sy;
        }
    }
    dc.Drawn(dc.ToTarget({bounds.left - width, bounds.top - width, bounds.right + width, bounds.bottom + width}));
}

bool Opaque(const std::shared_ptr<GdiObject>& brush) { return brush && !brush->hollow; }

// The horizontal inset of a rounded corner of radii (rx, ry) at `row` rows from its edge.
int CornerInset(int row, int rx, int ry) {
    if (rx <= 0 || ry <= 0 || row >= ry)
        return 0;
    double dy = (ry - row - 0.5) / ry;
    return static_cast<int>(std::lround(rx - rx * std::sqrt(std::max(0.0, 1.0 - dy * dy))));
}

} // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    auto context = LookupDC(dc);
    auto fill = context ? LookupGdiObject(brush) : nullptr;
    if (!fill || fill->type != GdiObject::Type::Brush || !rect)
        return FailWith(context && fill ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    if (Opaque(fill))
        Fill(*context, *rect, fill->color);
    return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    return RoundRect(dc, left, top, right, bottom, 0, 0);
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
    auto context = LookupDC(dc);
    if (!context)
        return FALSE;
    RECT rect = Normalised(left, top, right, bottom);
    int rx = std::min(width / 2, (rect.right - rect.left) / 2), ry = std::min(height / 2, (rect.bottom - rect.top) / 2);
    bool outline = context->pen && context->pen->penStyle != PS_NULL;
    int edge = outline ? context->pen->penWidth : 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        int fromEdge = std::min(y - rect.top, rect.bottom - 1 - y);
        int inset = CornerInset(fromEdge, rx, ry);
        LONG outerLeft = rect.left + inset, outerRight = rect.right - inset;
        if (outline && fromEdge < edge) {
            Fill(*context, {outerLeft, y, outerRight, y + 1}, context->pen->color);
            continue;
        }
        int innerInset = outline ? CornerInset(fromEdge - edge, std::max(rx - edge, 0), std::max(ry - edge, 0)) : 0;
        LONG innerLeft = outline ? std::max<LONG>(rect.left + edge + innerInset, outerLeft) : outerLeft;
        LONG innerRight = outline ? std::min<LONG>(rect.right - edge - innerInset, outerRight) : outerRight;
        if (outline) {
            Fill(*context, {outerLeft, y, innerLeft, y + 1}, context->pen->color);
            Fill(*context, {innerRight, y, outerRight, y + 1}, context->pen->color);
        }
        if (Opaque(context->brush))
            Fill(*context, {innerLeft, y, innerRight, y + 1}, context->brush->color);
    }
    return TRUE;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    auto context = LookupDC(dc);
    if (!context)
        return FALSE;
    if (previous)
        *previous = context->penPosition;
    context->penPosition = {x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    auto context = LookupDC(dc);
    if (!context)
        return FALSE;
    Line(*context, context->penPosition, {x, y});
    context->penPosition = {x, y};
    return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    auto context = LookupDC(dc);
    if (!context)
        return CLR_INVALID;
    Fill(*context, {x, y, x + 1, y + 1}, color);
    return color;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    auto context = LookupDC(dc);
    if (!context)
        return CLR_INVALID;
    POINT at{x + context->origin.x, y + context->origin.y};
    if (at.x < 0 || at.y < 0 || at.x >= context->target->Width() || at.y >= context->target->Height())
        return CLR_INVALID;
    std::lock_guard guard(context->target->Lock());
    return ColorFromPixel(context->target->Row(at.y)[at.x]);
}

BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) {
    auto context = LookupDC(dc);
    if (!context)
        return FALSE;
    RECT to = context->ToTarget(Normalised(x, y, x + width, y + height));
    if (rop == WHITENESS || rop == BLACKNESS) {
        FillPixels(*context->target, to, rop == WHITENESS ? 0x00FFFFFF : 0, context->Clip());
        context->Drawn(to);
        return TRUE;
    }
    if (rop != SRCCOPY)
        return FailWith(ERROR_INVALID_PARAMETER);
    auto from = LookupDC(source);
    if (!from)
        return FALSE;
    CopyPixels(*context->target, to, *from->target, {sourceX + from->origin.x, sourceY + from->origin.y},
               context->Clip());
    context->Drawn(to);
    return TRUE;
}

BOOL StretchBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, int sourceWidth,
                int sourceHeight, DWORD rop) {
    auto context = LookupDC(dc);
    auto from = context ? LookupDC(source) : nullptr;
    if (!from)
        return FALSE;
    if (rop != SRCCOPY)
        return FailWith(ERROR_INVALID_PARAMETER);
    RECT to = context->ToTarget({x, y, x + width, y + height});
    RECT fromRect = from->ToTarget({sourceX, sourceY, sourceX + sourceWidth, sourceY + sourceHeight});
    // At 1:1 a stretch is a copy: the transitions draw every frame so.
    if (width == sourceWidth && height == sourceHeight && width > 0 && height > 0)
        CopyPixels(*context->target, to, *from->target, {fromRect.left, fromRect.top}, context->Clip());
    else
        StretchPixels(*context->target, to, *from->target, fromRect, context->Clip());
    context->Drawn(to);
    return TRUE;
}

BOOL AlphaBlend(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, int sourceWidth,
                int sourceHeight, BLENDFUNCTION blend) {
    auto context = LookupDC(dc);
    auto from = context ? LookupDC(source) : nullptr;
    if (!from)
        return FALSE;
    if (blend.BlendOp != AC_SRC_OVER || width < 0 || height < 0 || sourceWidth < 0 || sourceHeight < 0)
        return FailWith(ERROR_INVALID_PARAMETER);
    RECT to = context->ToTarget({x, y, x + width, y + height});
    RECT fromRect = from->ToTarget({sourceX, sourceY, sourceX + sourceWidth, sourceY + sourceHeight});
    BlendPixels(*context->target, to, *from->target, fromRect, blend.SourceConstantAlpha,
                blend.AlphaFormat & AC_SRC_ALPHA, context->Clip());
    context->Drawn(to);
    return TRUE;
}

BOOL MaskBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, HBITMAP mask, int maskX,
             int maskY, DWORD rop) {
    auto context = LookupDC(dc);
    auto from = context ? LookupDC(source) : nullptr;
    if (!from)
        return FALSE;
    if (!mask)
        return BitBlt(dc, x, y, width, height, source, sourceX, sourceY, rop & 0x00FFFFFF);
    auto maskBitmap = LookupGdiObject(mask);
    if (!maskBitmap || maskBitmap->type != GdiObject::Type::Bitmap || maskBitmap->bitsPerPixel != 1)
        return FailWith(ERROR_INVALID_PARAMETER);
    // Only the copy of the source and the keeping of the destination are drawn by masks here.
    DWORD foreground = rop & 0x00FFFFFF, background = ((rop >> 8) & 0x00FF0000) | (rop & 0x0000FFFF);
    bool keepWhereSet = (foreground >> 16) == KeepDestination && (background >> 16) == CopySource;
    bool copyWhereSet = (foreground >> 16) == CopySource && (background >> 16) == KeepDestination;
    if (!keepWhereSet && !copyWhereSet)
        return FailWith(ERROR_INVALID_PARAMETER);
    RECT to = context->ToTarget(Normalised(x, y, x + width, y + height));
    MaskPixels(*context->target, to, *from->target, {sourceX + from->origin.x, sourceY + from->origin.y},
               *maskBitmap->surface, {maskX, maskY}, keepWhereSet, context->Clip());
    context->Drawn(to);
    return TRUE;
}

BOOL GradientFill(HDC dc, TRIVERTEX* vertices, ULONG vertexCount, void* mesh, ULONG meshCount, ULONG mode) {
    auto context = LookupDC(dc);
    if (!context)
        return FALSE;
    if (!vertices || !mesh || mode != GRADIENT_FILL_RECT_V)
        return FailWith(ERROR_INVALID_PARAMETER);
    auto* rects = static_cast<GRADIENT_RECT*>(mesh);
    for (ULONG i = 0; i < meshCount; ++i) {
        if (rects[i].UpperLeft >= vertexCount || rects[i].LowerRight >= vertexCount)
            return FailWith(ERROR_INVALID_PARAMETER);
        const TRIVERTEX& top = vertices[rects[i].UpperLeft];
        const TRIVERTEX& bottom = vertices[rects[i].LowerRight];
        auto pixel = [](const TRIVERTEX& v) {
            return PixelFromColor(
                RGB(static_cast<BYTE>(v.Red >> 8), static_cast<BYTE>(v.Green >> 8), static_cast<BYTE>(v.Blue >> 8)));
        };
        RECT to = context->ToTarget(Normalised(top.x, top.y, bottom.x, bottom.y));
        VerticalGradient(*context->target, to, pixel(top), pixel(bottom), context->Clip());
        context->Drawn(to);
    }
    return TRUE;
}
