#pragma once
// The toolkit's images: PNG (or GIF) resources of a module, decoded once and kept for
// the process in one cache (guarded: pop-ups draw on several threads), drawn into a
// device context, alpha-blended when they carry alpha.

#include "platform/base/Win32Types.h"
#include "platform/gdi/GdiTypes.h"

struct ToolkitImage;

// Flags of LoadImage: make the bitmap (and its memory device context) the image is
// drawn from; and, once it is made, let the decoder go.
constexpr DWORD ImageWithBitmap = 0x1;
constexpr DWORD ImageWithoutDecoder = 0x2;

// The cached image of (module, id, flags), loaded from its RT_RCDATA resource on first
// use; null when the module lacks it or it cannot be decoded. An image with alpha is
// kept premultiplied, c' = (c × a + 255) >> 8, except on a device whose OEM string is
// "Tarvelo" (asked once).
ToolkitImage* LoadImage(HMODULE module, UINT resourceId, DWORD flags);
// Draws into `rect`: stretched to fill it, or (with keepAspect) as large as fits with
// its proportions kept, centred; not stretched, at its own size at the top left. A null
// image draws nothing.
void DrawImage(const ToolkitImage* image, HDC dc, const RECT& rect, bool stretch, bool keepAspect);
SIZE ImageSize(const ToolkitImage* image);
bool ImageHasAlpha(const ToolkitImage* image);
// The image's bitmap (null without ImageWithBitmap).
HBITMAP ImageBitmap(const ToolkitImage* image);
// Frees every cached image (the application's end).
void ReleaseImages();
