#pragma once
// One DirectDraw overlay to draw on: created over a rectangle of the screen with a colour
// key (pixels of the key colour show the screen beneath), optionally with a back buffer
// that is drawn on and then flipped to the front. A surface lost to the driver is
// restored and the overlay set up again.
//
// Used on one thread at a time.

#include "platform/overlay/DirectDraw.h"

#include <cstddef>

class OverlaySurface {
public:
    // The pixel formats an overlay can be asked for, by index.
    static const DDPIXELFORMAT PixelFormats[7];

    OverlaySurface() = default;
    ~OverlaySurface() { Release(); }
    OverlaySurface(const OverlaySurface&) = delete;
    OverlaySurface& operator=(const OverlaySurface&) = delete;

    // True when the overlay is up and shown, filled with the key; on any failure
    // everything made so far is released.
    bool Create(HWND window, int x, int y, int width, int height, COLORREF colourKey, BYTE alphaLow, BYTE alphaHigh,
                bool withBackBuffer, int pixelFormatIndex);
    // A context of the drawing surface (the back buffer), or null.
    HDC BeginDraw();
    // Releases the context and, with `flip`, shows what was drawn. True when the
    // surfaces had been lost and were restored: what was drawn is gone.
    bool EndDraw(bool flip);
    void SetPosition(int x, int y);
    void Show();
    void Release();

    bool IsCreated() const { return m_overlay != nullptr; }
    // How often lost surfaces were restored: each time the buffers lost what they held.
    std::size_t Recoveries() const { return m_recoveries; }
    const RECT& Destination() const { return m_destination; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    bool CreateSurfaces(bool withBackBuffer, int pixelFormatIndex, const DDCAPS& caps);
    void PlaceDestination(const DDCAPS& caps);
    bool UpdateOverlay();
    bool FillWithKey(int buffers);
    // After DDERR_SURFACELOST: the surfaces back and the overlay set up again.
    void Recover();

    DDCOLORKEY m_colourKey{};
    BYTE m_alpha = 0;
    IDirectDraw* m_directDraw = nullptr;
    IDirectDrawSurface* m_primary = nullptr;
    IDirectDrawSurface* m_overlay = nullptr;
    IDirectDrawSurface* m_backBuffer = nullptr; // the overlay itself when it has none
    IDirectDrawSurface* m_locked = nullptr;
    HDC m_dc = nullptr;
    RECT m_source{};
    int m_width = 0;
    int m_height = 0;
    RECT m_destination{};
    int m_x = 0;
    int m_y = 0;
    bool m_shown = false;
    COLORREF m_keyColour = 0;
    std::size_t m_recoveries = 0;
    DWORD m_updateFlags = 0;
};
