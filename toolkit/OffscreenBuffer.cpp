#include "toolkit/OffscreenBuffer.h"

#include "platform/display/PaintApi.h"
#include "platform/gdi/GdiApi.h"

bool OffscreenBuffer::Create(int width, int height, HDC referenceDC) {
    Release();
    m_width = width;
    m_height = height;
    HDC reference = referenceDC ? referenceDC : ::GetDC(nullptr);
    m_dc = CreateCompatibleDC(reference);
    m_bitmap = m_dc ? CreateCompatibleBitmap(reference, width, height) : nullptr;
    if (!referenceDC)
        ReleaseDC(nullptr, reference);
    if (!m_bitmap) {
        Release();
        return false;
    }
    m_previous = SelectObject(m_dc, m_bitmap);
    return true;
}

void OffscreenBuffer::Release() {
    if (m_dc) {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
    }
    if (m_bitmap)
        DeleteObject(m_bitmap);
    m_bitmap = nullptr;
    m_previous = nullptr;
    m_dc = nullptr;
    m_width = m_height = 0;
}
