#pragma once
// Scoped device-context state for the controls' drawing: an object selected for the
// guard's lifetime, and a memory device context for measuring text outside painting.

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
