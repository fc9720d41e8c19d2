#include "toolkit/OverlaySurface.h"

#include "platform/gdi/GdiApi.h"

#include <algorithm>

namespace {

// The key colour as the overlay's 5-6-5 pixels hold it: red's top 5 bits to bits 11-15,
// green's top 6 to bits 5-10, blue's top 5 to bits 0-4.
DWORD Key565(COLORREF colour) {
    DWORD red = GetRValue(colour), green = GetGValue(colour), blue = GetBValue(colour);
    return ((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3);
}

DWORD RoundUp(DWORD value, DWORD multiple) { return multiple ? (value + multiple - 1) / multiple * multiple : value; }

template <class Interface> void ReleaseInterface(Interface*& pointer) {
    if (pointer)
        pointer->Release();
    pointer = nullptr;
}

} // namespace

const DDPIXELFORMAT OverlaySurface::PixelFormats[7] = {
    {sizeof(DDPIXELFORMAT), DDPF_FOURCC, MakeFourCC('Y', 'V', '1', '2'), 0, 0, 0, 0, 0},
    {sizeof(DDPIXELFORMAT), DDPF_FOURCC, MakeFourCC('Y', 'U', 'Y', 'V'), 0, 0, 0, 0, 0},
    {sizeof(DDPIXELFORMAT), DDPF_FOURCC, MakeFourCC('U', 'Y', 'V', 'Y'), 0, 0, 0, 0, 0},
    {sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 16, 0x7C00, 0x03E0, 0x001F, 0},
    {sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 16, 0xF800, 0x07E0, 0x001F, 0},
    {sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0},
    {sizeof(DDPIXELFORMAT), DDPF_FOURCC, MakeFourCC('I', '4', '2', '0'), 0, 0, 0, 0, 0},
};

bool OverlaySurface::Create(HWND window, int x, int y, int width, int height, COLORREF colourKey, BYTE alphaLow,
                            BYTE alphaHigh, bool withBackBuffer, int pixelFormatIndex) {
    Release();
    if (width <= 0 || height <= 0 || pixelFormatIndex < 0 || pixelFormatIndex >= 7)
        return false;
    if (DirectDrawCreate(nullptr, &m_directDraw, nullptr) != DD_OK ||
        m_directDraw->SetCooperativeLevel(window, DDSCL_NORMAL) != DD_OK) {
        Release();
        return false;
    }
    DDSURFACEDESC primary{};
    primary.dwSize = sizeof primary;
    primary.dwFlags = DDSD_CAPS;
    primary.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    DDCAPS caps{};
    caps.dwSize = sizeof caps;
    if (m_directDraw->CreateSurface(&primary, &m_primary, nullptr) != DD_OK ||
        m_directDraw->GetCaps(&caps, nullptr) != DD_OK || !(caps.dwCaps & DDCAPS_OVERLAY)) {
        Release();
        return false;
    }
    m_width = width;
    m_height = height;
    if ((caps.dwCaps & DDCAPS_ALIGNSIZESRC) && caps.dwAlignSizeSrc)
        m_width = static_cast<int>(RoundUp(static_cast<DWORD>(width), caps.dwAlignSizeSrc));
    m_source = {0, 0, m_width, m_height};
    m_x = x;
    m_y = y;
    m_keyColour = colourKey;
    m_alpha = static_cast<BYTE>((alphaHigh & 0x0F) << 4 | (alphaLow & 0x0F));
    if (!CreateSurfaces(withBackBuffer, pixelFormatIndex, caps)) {
        Release();
        return false;
    }
    PlaceDestination(caps);
    m_updateFlags = 0;
    if (caps.dwCKeyCaps & DDCKEYCAPS_DESTOVERLAY) {
        DWORD key = Key565(colourKey);
        m_colourKey = {key, key};
        m_updateFlags = DDOVER_KEYDESTOVERRIDE;
    }
    // Filled with the key before it is shown, so that it never shows the screen a frame
    // of whatever its memory held.
    if (!FillWithKey(withBackBuffer ? 2 : 1) || !UpdateOverlay()) {
        Release();
        return false;
    }
    SetPosition(x, y);
    return true;
}

bool OverlaySurface::CreateSurfaces(bool withBackBuffer, int pixelFormatIndex, const DDCAPS&) {
    DDSURFACEDESC overlay{};
    overlay.dwSize = sizeof overlay;
    overlay.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    overlay.ddsCaps.dwCaps = DDSCAPS_OVERLAY | DDSCAPS_VIDEOMEMORY;
    if (withBackBuffer) {
        overlay.dwFlags |= DDSD_BACKBUFFERCOUNT;
        overlay.dwBackBufferCount = 1;
        overlay.ddsCaps.dwCaps |= DDSCAPS_FLIP;
    }
    overlay.dwWidth = static_cast<DWORD>(m_width);
    overlay.dwHeight = static_cast<DWORD>(m_height);
    overlay.ddpfPixelFormat = PixelFormats[pixelFormatIndex];
    if (m_directDraw->CreateSurface(&overlay, &m_overlay, nullptr) != DD_OK)
        return false;
    if (!withBackBuffer) {
        m_backBuffer = m_overlay;
        m_backBuffer->AddRef();
        return true;
    }
    DDSCAPS back{DDSCAPS_BACKBUFFER};
    return m_overlay->GetAttachedSurface(&back, &m_backBuffer) == DD_OK;
}

// The driver never shrinks an overlay: a minimum stretch below 1000 counts as 1000.
void OverlaySurface::PlaceDestination(const DDCAPS& caps) {
    DWORD stretch = std::max<DWORD>(caps.dwMinOverlayStretch, 1000);
    DWORD width = (static_cast<DWORD>(m_width) * stretch + 999) / 1000;
    DWORD height = static_cast<DWORD>(m_height) * stretch / 1000;
    if ((caps.dwCaps & DDCAPS_ALIGNSIZEDEST) && caps.dwAlignSizeDest)
        width = RoundUp(width, caps.dwAlignSizeDest);
    m_destination = {m_x, m_y, m_x + static_cast<LONG>(width), m_y + static_cast<LONG>(height)};
}

bool OverlaySurface::UpdateOverlay() {
    DDOVERLAYFX effects{};
    effects.dwSize = sizeof effects;
    effects.dckDestColorkey = m_colourKey;
    if (m_overlay->UpdateOverlay(&m_source, m_primary, &m_destination, DDOVER_SHOW | m_updateFlags, &effects) != DD_OK)
        return false;
    effects.dwAlphaConst = m_alpha;
    return m_overlay->UpdateOverlay(&m_source, m_primary, &m_destination, 0, &effects) == DD_OK;
}

// Every buffer the key; a loss on the way empties them all, and the filling starts over
// (a few times at most).
bool OverlaySurface::FillWithKey(int buffers) {
    HBRUSH key = CreateSolidBrush(m_keyColour);
    if (!key)
        return false;
    RECT all{0, 0, m_width, m_height};
    bool filled = false;
    for (int attempt = 0; attempt < 3 && !filled; ++attempt) {
        std::size_t recoveries = m_recoveries;
        filled = true;
        for (int buffer = 0; buffer < buffers && filled; ++buffer) {
            HDC dc = BeginDraw();
            filled = dc && FillRect(dc, &all, key);
            if (dc)
                EndDraw(buffers > 1);
        }
        filled = filled && m_recoveries == recoveries;
    }
    DeleteObject(key);
    return filled;
}

HDC OverlaySurface::BeginDraw() {
    if (!m_backBuffer || m_dc)
        return nullptr;
    if (m_backBuffer->GetDC(&m_dc) != DD_OK) {
        m_dc = nullptr;
        return nullptr;
    }
    m_locked = m_backBuffer;
    return m_dc;
}

bool OverlaySurface::EndDraw(bool flip) {
    if (m_locked && m_dc)
        m_locked->ReleaseDC(m_dc);
    m_locked = nullptr;
    m_dc = nullptr;
    if (!flip || !m_overlay || m_backBuffer == m_overlay)
        return false;
    if (m_overlay->Flip(nullptr, 0) != DDERR_SURFACELOST)
        return false;
    Recover();
    return true;
}

void OverlaySurface::SetPosition(int x, int y) {
    m_x = x;
    m_y = y;
    OffsetRect(&m_destination, x - m_destination.left, y - m_destination.top);
    if (!m_shown || !m_overlay)
        return;
    if (m_overlay->SetOverlayPosition(x, y) != DDERR_SURFACELOST)
        return;
    Recover();
    m_overlay->SetOverlayPosition(x, y);
}

void OverlaySurface::Show() {
    m_shown = true;
    SetPosition(m_x, m_y);
}

void OverlaySurface::Recover() {
    ++m_recoveries;
    m_primary->Restore();
    m_overlay->Restore();
    UpdateOverlay();
}

void OverlaySurface::Release() {
    if (m_locked && m_dc)
        m_locked->ReleaseDC(m_dc);
    m_locked = nullptr;
    m_dc = nullptr;
    ReleaseInterface(m_backBuffer);
    ReleaseInterface(m_overlay);
    ReleaseInterface(m_primary);
    ReleaseInterface(m_directDraw);
    m_shown = false;
}
