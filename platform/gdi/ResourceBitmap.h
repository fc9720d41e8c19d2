#pragma once
// Bitmap resources (RT_BITMAP) of a module as GDI bitmaps. Only the 1-bit bitmaps that
// masks are made of are read: a DIB of a BITMAPINFOHEADER, two palette entries and rows
// padded to 32 bits. A pixel is set where its palette colour is not black.

#include "platform/gdi/GdiTypes.h"

inline LPCWSTR const RT_BITMAP = reinterpret_cast<LPCWSTR>(std::uintptr_t{2});

// Null, with the last error set, when the module has no such bitmap or it is not 1-bit.
HBITMAP LoadBitmapW(HINSTANCE module, LPCWSTR name);
