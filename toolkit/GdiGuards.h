#pragma once
// Scoped device-context state for the controls' drawing: an object selected for the
// guard's lifetime, a clip narrowed for a while, and a memory device context for
// measuring text outside painting.

#include "platform/gdi/GdiApi.h"

class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(m_dc, m_previous); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// Narrows the clip for a while and puts the clip box back afterwards.
class NarrowedClip {
public:
    NarrowedClip(HDC dc, const RECT& narrow) : m_dc(dc) {
        GetClipBox(dc, &m_saved);
        IntersectClipRect(dc, narrow.left, narrow.top, narrow.right, narrow.bottom);
    }
    ~NarrowedClip() {
        HRGN saved = CreateRectRgnIndirect(&m_saved);
        SelectClipRgn(m_dc, saved);
        DeleteObject(saved);
    }
    NarrowedClip(const NarrowedClip&) = delete;
    NarrowedClip& operator=(const NarrowedClip&) = delete;

private:
    HDC m_dc;
    RECT m_saved{};
};

// A memory device context with `font` selected.
class MeasuringContext {
public:
    explicit MeasuringContext(HFONT font) : m_dc(CreateCompatibleDC(nullptr)), m_font(m_dc.dc, font) {}
    MeasuringContext(const MeasuringContext&) = delete;
    MeasuringContext& operator=(const MeasuringContext&) = delete;
    HDC Get() const { return m_dc.dc; }

private:
    struct OwnedContext {
        explicit OwnedContext(HDC context) : dc(context) {}
        ~OwnedContext() { DeleteDC(dc); }
        OwnedContext(const OwnedContext&) = delete;
        OwnedContext& operator=(const OwnedContext&) = delete;
        HDC dc;
    };
    // Declared in this order: the font is put back before the context goes.
    OwnedContext m_dc;
    SelectedObject m_font;
};
