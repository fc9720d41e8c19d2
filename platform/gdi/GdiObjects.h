#pragma once
// The objects behind GDI handles, for the drawing calls and for the display's window
// device contexts. A device context draws into a target surface at an origin, inside
// its base clip (the memory bitmap, or the window's visible part of the screen) and
// the clip region the caller selected. Objects stay alive while a context holds them,
// even after their handle is deleted. A context is used by one thread at a time.

#include "platform/base/HandleTable.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Surface.h"

#include <functional>
#include <memory>
#include <optional>

namespace platform {

struct FontFace;

class GdiObject : public HandleObject {
public:
    enum class Type { Bitmap, Brush, Pen, Font, Region };

    explicit GdiObject(Type type) : HandleObject(HandleKind::GdiObject), type(type) {}

    Type type;
    std::shared_ptr<Surface> surface; // Bitmap
    int bitsPerPixel = 32;            // Bitmap
    COLORREF color = 0;               // Brush, Pen
    bool hollow = false;              // Brush: paints nothing
    int penStyle = PS_SOLID;          // Pen
    int penWidth = 1;                 // Pen
    RectRegion region;                // Region
    std::shared_ptr<FontFace> font;   // Font
};

class DeviceContextObject : public HandleObject {
public:
    DeviceContextObject() : HandleObject(HandleKind::DeviceContext) {}

    std::shared_ptr<Surface> target;
    POINT origin{0, 0};
    RectRegion baseClip;                // in target co-ordinates
    std::optional<RectRegion> userClip; // in the context's own co-ordinates
    std::shared_ptr<GdiObject> bitmap;  // memory contexts only
    std::shared_ptr<GdiObject> brush;
    std::shared_ptr<GdiObject> pen;
    std::shared_ptr<GdiObject> font;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backgroundColor = RGB(255, 255, 255);
    int backgroundMode = OPAQUE;
    POINT penPosition{0, 0};
    bool memory = false;
    // Told of every rectangle drawn (target co-ordinates): the screen's contexts report to the display.
    std::function<void(const RECT&)> drawn;

    // The clip in target co-ordinates.
    RectRegion Clip() const;
    // A rectangle of the context's co-ordinates in the target's.
    RECT ToTarget(const RECT& rect) const;
    void Drawn(const RECT& rect) const;
};

std::shared_ptr<DeviceContextObject> LookupDC(HDC dc);
std::shared_ptr<GdiObject> LookupGdiObject(HGDIOBJ object);
// A context drawing into `target`, for the display's window and screen contexts.
HDC CreateTargetDC(std::shared_ptr<Surface> target, POINT origin, RectRegion baseClip,
                   std::function<void(const RECT&)> drawn);
std::shared_ptr<GdiObject> DefaultFont();

} // namespace platform
