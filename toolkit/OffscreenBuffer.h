#pragma once
// A memory device context with a bitmap selected into it: a window's back buffer, and
// the images a transition works with. Empty (all zero) until created.

#include "platform/gdi/GdiTypes.h"

class OffscreenBuffer {
public:
    OffscreenBuffer() = default;
    ~OffscreenBuffer() { Release(); }
    OffscreenBuffer(const OffscreenBuffer&) = delete;
    OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;

    // A buffer of this size, compatible with `referenceDC` (the screen's when null).
    bool Create(int width, int height, HDC referenceDC);
    void Release();

    HDC GetDC() const { return m_dc; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    HBITMAP GetBitmap() const { return m_bitmap; }

private:
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    HDC m_dc = nullptr;
    int m_width = 0;
    int m_height = 0;
};
