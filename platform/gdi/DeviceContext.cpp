#include "platform/base/LastError.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/GdiObjects.h"

#include <cstring>

namespace platform {

RectRegion DeviceContextObject::Clip() const {
    RectRegion clip = baseClip;
    if (userClip) {
        RectRegion user = *userClip;
        user.Offset(origin.x, origin.y);
        clip.Intersect(user);
    }
    return clip;
}

RECT DeviceContextObject::ToTarget(const RECT& rect) const {
    return {rect.left + origin.x, rect.top + origin.y, rect.right + origin.x, rect.bottom + origin.y};
}

void DeviceContextObject::Drawn(const RECT& rect) const {
    if (drawn) {
        RECT bounds = IntersectRects(rect, Clip().Bounds());
        if (!IsEmptyRect(bounds))
            drawn(bounds);
    }
}

std::shared_ptr<DeviceContextObject> LookupDC(HDC dc) {
    return LookupHandleAs<DeviceContextObject>(dc, HandleKind::DeviceContext);
}

std::shared_ptr<GdiObject> LookupGdiObject(HGDIOBJ object) {
    return LookupHandleAs<GdiObject>(object, HandleKind::GdiObject);
}

namespace {

std::shared_ptr<GdiObject> MakeBrush(COLORREF color, bool hollow = false) {
    auto brush = std::make_shared<GdiObject>(GdiObject::Type::Brush);
    brush->color = color;
    brush->hollow = hollow;
    return brush;
}

std::shared_ptr<GdiObject> MakePen(int style, int width, COLORREF color) {
    auto pen = std::make_shared<GdiObject>(GdiObject::Type::Pen);
    pen->penStyle = style;
    pen->penWidth = std::max(width, 1);
    pen->color = color;
    return pen;
}

std::shared_ptr<GdiObject> MakeBitmap(int width, int height, int bitsPerPixel, bool bottomUp = false) {
    auto bitmap = std::make_shared<GdiObject>(GdiObject::Type::Bitmap);
    bitmap->surface = std::make_shared<Surface>(width, height, bottomUp);
    bitmap->bitsPerPixel = bitsPerPixel;
    return bitmap;
}

// Stock objects live for the whole process under fixed handles.
struct StockObjects {
    HGDIOBJ handles[9] = {};
    StockObjects() {
        handles[WHITE_BRUSH] = InsertHandle(MakeBrush(RGB(255, 255, 255)));
        handles[BLACK_BRUSH] = InsertHandle(MakeBrush(RGB(0, 0, 0)));
        handles[NULL_BRUSH] = InsertHandle(MakeBrush(0, true));
        handles[WHITE_PEN] = InsertHandle(MakePen(PS_SOLID, 1, RGB(255, 255, 255)));
        handles[BLACK_PEN] = InsertHandle(MakePen(PS_SOLID, 1, RGB(0, 0, 0)));
        handles[NULL_PEN] = InsertHandle(MakePen(PS_NULL, 1, 0));
    }
};

StockObjects& Stock() {
    static StockObjects stock;
    return stock;
}

void SetDefaults(DeviceContextObject& dc) {
    dc.brush = LookupGdiObject(Stock().handles[WHITE_BRUSH]);
    dc.pen = LookupGdiObject(Stock().handles[BLACK_PEN]);
    dc.font = DefaultFont();
}

} // namespace

HDC CreateTargetDC(std::shared_ptr<Surface> target, POINT origin, RectRegion baseClip,
                   std::function<void(const RECT&)> drawn) {
    auto dc = std::make_shared<DeviceContextObject>();
    dc->target = std::move(target);
    dc->origin = origin;
    dc->baseClip = std::move(baseClip);
    dc->baseClip.Intersect(dc->target->Bounds());
    dc->drawn = std::move(drawn);
    SetDefaults(*dc);
    return InsertHandle(std::move(dc));
}

} // namespace platform

using namespace platform;

HDC CreateCompatibleDC(HDC dc) {
    if (dc && !LookupDC(dc))
        return nullptr;
    auto memory = std::make_shared<DeviceContextObject>();
    memory->memory = true;
    memory->bitmap = MakeBitmap(1, 1, 32);
    memory->target = memory->bitmap->surface;
    memory->baseClip = RectRegion(memory->target->Bounds());
    SetDefaults(*memory);
    return InsertHandle(std::move(memory));
}

BOOL DeleteDC(HDC dc) { return RemoveHandle(dc, HandleKind::DeviceContext) ? TRUE : FALSE; }

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (!LookupDC(dc))
        return nullptr;
    if (width <= 0 || height <= 0)
        return platform::FailWith<HBITMAP>(ERROR_INVALID_PARAMETER, nullptr);
    return InsertHandle(MakeBitmap(width, height, 32));
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (width <= 0 || height <= 0 || planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32))
        return platform::FailWith<HBITMAP>(ERROR_INVALID_PARAMETER, nullptr);
    auto bitmap = MakeBitmap(width, height, static_cast<int>(bitsPerPixel));
    if (bits) {
        Surface& surface = *bitmap->surface;
        if (bitsPerPixel == 32) {
            for (int y = 0; y < height; ++y)
                std::memcpy(surface.Row(y), static_cast<const Pixel*>(bits) + static_cast<std::size_t>(y) * width,
                            static_cast<std::size_t>(width) * sizeof(Pixel));
        } else {
            // Monochrome rows are padded to 16 bits; a set bit is white.
            std::size_t stride = ((static_cast<std::size_t>(width) + 15) / 16) * 2;
            for (int y = 0; y < height; ++y) {
                const auto* row = static_cast<const BYTE*>(bits) + stride * y;
                for (int x = 0; x < width; ++x)
                    surface.Row(y)[x] = (row[x / 8] & (0x80 >> (x % 8))) ? 0x00FFFFFF : 0;
            }
        }
    }
    return InsertHandle(std::move(bitmap));
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD) {
    if (dc && !LookupDC(dc))
        return nullptr;
    if (!info || info->bmiHeader.biBitCount != 32 || info->bmiHeader.biCompression != BI_RGB ||
        info->bmiHeader.biWidth <= 0 || info->bmiHeader.biHeight == 0)
        return platform::FailWith<HBITMAP>(ERROR_INVALID_PARAMETER, nullptr);
    LONG height = info->bmiHeader.biHeight;
    auto bitmap = MakeBitmap(info->bmiHeader.biWidth, height < 0 ? -height : height, 32, height > 0);
    if (bits)
        *bits = bitmap->surface->Bits();
    return InsertHandle(std::move(bitmap));
}

HBRUSH CreateSolidBrush(COLORREF color) { return InsertHandle(MakeBrush(color)); }

HPEN CreatePen(int style, int width, COLORREF color) { return InsertHandle(MakePen(style, width, color)); }

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    auto region = std::make_shared<GdiObject>(GdiObject::Type::Region);
    region->region =
        RectRegion({std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
    return InsertHandle(std::move(region));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
    return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HGDIOBJ GetStockObject(int object) {
    if (object < 0 || object > NULL_PEN)
        return nullptr;
    return Stock().handles[object];
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    auto context = LookupDC(dc);
    auto selected = context ? LookupGdiObject(object) : nullptr;
    if (!selected)
        return nullptr;
    std::shared_ptr<GdiObject>* slot = nullptr;
    switch (selected->type) {
    case GdiObject::Type::Brush: slot = &context->brush; break;
    case GdiObject::Type::Pen: slot = &context->pen; break;
    case GdiObject::Type::Font: slot = &context->font; break;
    case GdiObject::Type::Region:
        context->userClip = selected->region;
        return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(SIMPLEREGION));
    case GdiObject::Type::Bitmap:
        if (!context->memory)
            return platform::FailWith<HGDIOBJ>(ERROR_INVALID_PARAMETER, nullptr);
        slot = &context->bitmap;
        break;
    }
    // The previous object's handle is given back; an object whose handle is gone is
    // given a new one, so the caller can still select it back in.
    std::shared_ptr<GdiObject> previous = *slot;
    *slot = selected;
    if (selected->type == GdiObject::Type::Bitmap) {
        context->target = selected->surface;
        context->baseClip = RectRegion(context->target->Bounds());
    }
    return HandleFor(previous);
}

BOOL DeleteObject(HGDIOBJ object) {
    for (HGDIOBJ stock : Stock().handles) {
        if (stock && stock == object)
            return TRUE;
    }
    return RemoveHandle(object, HandleKind::GdiObject) ? TRUE : FALSE;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
    auto found = LookupGdiObject(object);
    if (!found)
        return 0;
    switch (found->type) {
    case GdiObject::Type::Bitmap: {
        if (!buffer)
            return sizeof(BITMAP);
        if (size < static_cast<int>(sizeof(BITMAP)))
            return platform::FailWith(ERROR_INSUFFICIENT_BUFFER, 0);
        Surface& surface = *found->surface;
        *static_cast<BITMAP*>(buffer) = BITMAP{0,
                                               surface.Width(),
                                               surface.Height(),
                                               surface.Width() * 4,
                                               1,
                                               static_cast<WORD>(found->bitsPerPixel),
                                               surface.Bits()};
        return sizeof(BITMAP);
    }
    case GdiObject::Type::Pen: {
        if (!buffer)
            return sizeof(LOGPEN);
        if (size < static_cast<int>(sizeof(LOGPEN)))
            return platform::FailWith(ERROR_INSUFFICIENT_BUFFER, 0);
        *static_cast<LOGPEN*>(buffer) =
            LOGPEN{static_cast<UINT>(found->penStyle), POINT{found->penWidth, 0}, found->color};
        return sizeof(LOGPEN);
    }
    case GdiObject::Type::Brush: {
        if (!buffer)
            return sizeof(LOGBRUSH);
        if (size < static_cast<int>(sizeof(LOGBRUSH)))
            return platform::FailWith(ERROR_INSUFFICIENT_BUFFER, 0);
        *static_cast<LOGBRUSH*>(buffer) = LOGBRUSH{found->hollow ? BS_HOLLOW : BS_SOLID, found->color, 0};
        return sizeof(LOGBRUSH);
    }
    case GdiObject::Type::Font: {
        if (!buffer)
            return sizeof(LOGFONTW);
        if (size < static_cast<int>(sizeof(LOGFONTW)) || !found->font)
            return platform::FailWith(ERROR_INSUFFICIENT_BUFFER, 0);
        // The font as it was asked for, not the face that was found for it.
        *static_cast<LOGFONTW*>(buffer) = found->font->logical;
        return sizeof(LOGFONTW);
    }
    default: return platform::FailWith(ERROR_INVALID_PARAMETER, 0);
    }
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    auto context = LookupDC(dc);
    if (!context)
        return CLR_INVALID;
    std::swap(context->textColor, color);
    return color;
}

COLORREF GetTextColor(HDC dc) {
    auto context = LookupDC(dc);
    return context ? context->textColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    auto context = LookupDC(dc);
    if (!context)
        return CLR_INVALID;
    std::swap(context->backgroundColor, color);
    return color;
}

COLORREF GetBkColor(HDC dc) {
    auto context = LookupDC(dc);
    return context ? context->backgroundColor : CLR_INVALID;
}

int SetBkMode(HDC dc, int mode) {
    auto context = LookupDC(dc);
    if (!context || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    std::swap(context->backgroundMode, mode);
    return mode;
}

int GetBkMode(HDC dc) {
    auto context = LookupDC(dc);
    return context ? context->backgroundMode : 0;
}

int SelectClipRgn(HDC dc, HRGN region) {
    auto context = LookupDC(dc);
    if (!context)
        return ERROR;
    if (!region) {
        context->userClip.reset();
        return SIMPLEREGION;
    }
    auto found = LookupGdiObject(region);
    if (!found || found->type != GdiObject::Type::Region)
        return ERROR;
    context->userClip = found->region;
    return context->Clip().IsEmpty() ? NULLREGION : SIMPLEREGION;
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
    auto context = LookupDC(dc);
    if (!context)
        return ERROR;
    RECT rect{left, top, right, bottom};
    if (!context->userClip) {
        RECT whole = context->Clip().Bounds();
        context->userClip = RectRegion({whole.left - context->origin.x, whole.top - context->origin.y,
                                        whole.right - context->origin.x, whole.bottom - context->origin.y});
    }
    context->userClip->Intersect(rect);
    return context->Clip().IsEmpty() ? NULLREGION : SIMPLEREGION;
}

int GetClipBox(HDC dc, RECT* rect) {
    auto context = LookupDC(dc);
    if (!context || !rect)
        return ERROR;
    RECT bounds = context->Clip().Bounds();
    *rect = {bounds.left - context->origin.x, bounds.top - context->origin.y, bounds.right - context->origin.x,
             bounds.bottom - context->origin.y};
    return context->Clip().IsEmpty() ? NULLREGION : SIMPLEREGION;
}

int GetDeviceCaps(HDC dc, int index) {
    auto context = LookupDC(dc);
    if (!context)
        return 0;
    switch (index) {
    case HORZRES: return context->target->Width();
    case VERTRES: return context->target->Height();
    case BITSPIXEL: return 32;
    default: return 0;
    }
}
