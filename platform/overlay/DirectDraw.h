#pragma once
// DirectDraw as the touch loupe uses it: a DirectDraw object, the primary surface and
// one overlay surface (with or without one back buffer) shown above the screen at a
// destination rectangle, with a colour key; surfaces give device contexts for drawing,
// flip, move and can be lost and restored.
//
// Stands in for the device's overlay hardware: the overlay's front buffer is a layer the
// display composes above the screen (platform/display/OverlayLayer.h). Overlays hold
// 16-bit 5-6-5 pixels: the layer shows each pixel at that depth, and with a key set a
// pixel equal to the key shows the screen beneath it. One overlay is shown at a time.
// What the driver reports (overlay support, size alignments, minimum stretch, colour-key
// support) and a surface loss on the next flip or move are set by tests
// (SetOverlayDriver, LoseOverlaySurfaces). Objects may be used from any thread, one at
// a time.

#include "platform/com/Com.h"
#include "platform/gdi/GdiTypes.h"

constexpr HRESULT DD_OK = S_OK;
constexpr HRESULT DDERR_GENERIC = E_FAIL;
constexpr HRESULT DDERR_INVALIDPARAMS = E_INVALIDARG;
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = static_cast<HRESULT>(0x88760091);
constexpr HRESULT DDERR_NOOVERLAYHW = static_cast<HRESULT>(0x8876014A);
constexpr HRESULT DDERR_SURFACELOST = static_cast<HRESULT>(0x887601C2);
constexpr HRESULT DDERR_DCALREADYCREATED = static_cast<HRESULT>(0x8876021C);
constexpr HRESULT DDERR_NOTFLIPPABLE = static_cast<HRESULT>(0x8876014B);

constexpr DWORD DDSCL_NORMAL = 0x00000008;

// DDSURFACEDESC flags.
constexpr DWORD DDSD_CAPS = 0x00000001;
constexpr DWORD DDSD_HEIGHT = 0x00000002;
constexpr DWORD DDSD_WIDTH = 0x00000004;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x00000020;
constexpr DWORD DDSD_PIXELFORMAT = 0x00001000;

// Surface capabilities.
constexpr DWORD DDSCAPS_BACKBUFFER = 0x00000001;
constexpr DWORD DDSCAPS_FLIP = 0x00000004;
constexpr DWORD DDSCAPS_OVERLAY = 0x00000010;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x00002000;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x00004000;

// Driver capabilities.
constexpr DWORD DDCAPS_ALIGNSIZEDEST = 0x00000008;
constexpr DWORD DDCAPS_ALIGNSIZESRC = 0x00000010;
constexpr DWORD DDCAPS_OVERLAY = 0x00000800;
constexpr DWORD DDCAPS_OVERLAYSTRETCH = 0x00004000;
constexpr DWORD DDCKEYCAPS_DESTOVERLAY = 0x00000200;

// UpdateOverlay flags.
constexpr DWORD DDOVER_HIDE = 0x00000200;
constexpr DWORD DDOVER_KEYDESTOVERRIDE = 0x00000800;
constexpr DWORD DDOVER_SHOW = 0x00004000;

// Pixel format flags.
constexpr DWORD DDPF_FOURCC = 0x00000004;
constexpr DWORD DDPF_RGB = 0x00000040;

constexpr DWORD MakeFourCC(char a, char b, char c, char d) {
    return static_cast<DWORD>(static_cast<BYTE>(a)) | static_cast<DWORD>(static_cast<BYTE>(b)) << 8 |
           static_cast<DWORD>(static_cast<BYTE>(c)) << 16 | static_cast<DWORD>(static_cast<BYTE>(d)) << 24;
}

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};
static_assert(sizeof(DDPIXELFORMAT) == 32);

struct DDSCAPS {
    DWORD dwCaps;
};

struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

struct DDCAPS {
    DWORD dwSize;
    DWORD dwCaps;
    DWORD dwCKeyCaps;
    DWORD dwAlignSizeSrc;
    DWORD dwAlignSizeDest;
    DWORD dwMinOverlayStretch; // thousandths
    DWORD dwMaxOverlayStretch;
    DWORD dwMaxVisibleOverlays;
};

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDOVERLAYFX {
    DWORD dwSize;
    DDCOLORKEY dckDestColorkey;
    DDCOLORKEY dckSrcColorkey;
    DWORD dwAlphaConst; // kept; the layer shows the overlay opaque
};

struct IDirectDrawSurface : IUnknown {
    static constexpr IID Iid = {0x51A0B0C1, 0x2F3D, 0x4E61, {0x9B, 0x17, 0x6C, 0x40, 0x5D, 0x21, 0x8A, 0x01}};

    // A context drawing into the surface, until ReleaseDC; one at a time.
    virtual HRESULT GetDC(HDC* dc) = 0;
    virtual HRESULT ReleaseDC(HDC dc) = 0;
    // On an overlay: shows (DDOVER_SHOW) or hides it over `destination` of the primary
    // surface, the colour key taken from `effects` with DDOVER_KEYDESTOVERRIDE.
    virtual HRESULT UpdateOverlay(RECT* source, IDirectDrawSurface* destinationSurface, RECT* destination, DWORD flags,
                                  DDOVERLAYFX* effects) = 0;
    virtual HRESULT SetOverlayPosition(LONG x, LONG y) = 0;
    // On a flippable overlay: the back buffer becomes the one shown.
    virtual HRESULT Flip(IDirectDrawSurface* target, DWORD flags) = 0;
    virtual HRESULT GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** surface) = 0;
    // A lost surface must be restored before it is used again; its pixels are gone.
    virtual HRESULT IsLost() = 0;
    virtual HRESULT Restore() = 0;

protected:
    ~IDirectDrawSurface() = default;
};

struct IDirectDraw : IUnknown {
    static constexpr IID Iid = {0x51A0B0C2, 0x2F3D, 0x4E61, {0x9B, 0x17, 0x6C, 0x40, 0x5D, 0x21, 0x8A, 0x02}};

    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT CreateSurface(DDSURFACEDESC* description, IDirectDrawSurface** surface, IUnknown* outer) = 0;
    virtual HRESULT GetCaps(DDCAPS* driver, DDCAPS* emulation) = 0;

protected:
    ~IDirectDraw() = default;
};

HRESULT DirectDrawCreate(GUID* driver, IDirectDraw** directDraw, IUnknown* outer);

namespace platform {

// What the overlay driver reports; the defaults are a capable one.
struct OverlayDriver {
    bool overlays = true;
    bool destinationColourKey = true;
    DWORD alignSizeSource = 0;      // 0: no alignment
    DWORD alignSizeDestination = 0; // 0: no alignment
    DWORD minStretch = 1000;        // thousandths
};
void SetOverlayDriver(const OverlayDriver& driver);
OverlayDriver CurrentOverlayDriver();
// A flip or overlay move of any overlay reports DDERR_SURFACELOST (the next one, or the
// one after `passing` more), and its surfaces stay lost until restored.
void LoseOverlaySurfaces(int passing = 0);

} // namespace platform
