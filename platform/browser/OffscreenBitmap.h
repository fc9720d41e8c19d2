#pragma once
// A bitmap like the screen's, selected into a memory DC of its own for as long as it
// lives: what the browser view paints into before anything reaches the screen.

#include "platform/gdi/GdiTypes.h"

namespace platform::browser {

class OffscreenBitmap {
public:
    OffscreenBitmap() = default;
    ~OffscreenBitmap() { Release(); }
    OffscreenBitmap(const OffscreenBitmap&) = delete;
    OffscreenBitmap& operator=(const OffscreenBitmap&) = delete;

    // False, with nothing held, when the bitmap cannot be made.
    bool Create(int width, int height);
    void Release();
    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    int m_width = 0;
    int m_height = 0;
};

} // namespace platform::browser
