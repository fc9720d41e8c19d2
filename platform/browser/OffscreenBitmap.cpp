#include "platform/browser/OffscreenBitmap.h"

#include "platform/display/PaintApi.h"
#include "platform/gdi/GdiApi.h"

namespace platform::browser {

bool OffscreenBitmap::Create(int width, int height) {
    Release();
    HDC screen = GetDC(nullptr);
    m_dc = CreateCompatibleDC(screen);
    m_bitmap = m_dc ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    ReleaseDC(nullptr, screen);
    if (!m_bitmap) {
        Release();
        return false;
    }
    m_previous = SelectObject(m_dc, m_bitmap);
    m_width = width;
    m_height = height;
    return true;
}

void OffscreenBitmap::Release() {
    if (m_dc) {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
    }
    if (m_bitmap)
        DeleteObject(m_bitmap);
    m_dc = nullptr;
    m_bitmap = m_previous = nullptr;
    m_width = m_height = 0;
}

} // namespace platform::browser
