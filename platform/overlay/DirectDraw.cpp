#include "platform/overlay/DirectDraw.h"

#include "platform/com/ComObject.h"
#include "platform/display/OverlayLayer.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/GdiObjects.h"

#include <memory>
#include <mutex>
#include <optional>
#include <utility>

namespace {

struct DriverState {
    std::mutex lock;
    platform::OverlayDriver driver;
    int loseAfter = -1; // operations to pass before the loss; −1: none asked
};

DriverState& Driver() {
    static DriverState& state = *new DriverState;
    return state;
}

platform::OverlayDriver ReportedDriver() {
    DriverState& state = Driver();
    std::lock_guard guard(state.lock);
    return state.driver;
}

// Whether the loss the tests asked for happens now, to the calling operation.
bool TakeLoss() {
    DriverState& state = Driver();
    std::lock_guard guard(state.lock);
    if (state.loseAfter < 0)
        return false;
    return state.loseAfter-- == 0;
}

bool IsRgb565(const DDPIXELFORMAT& format) {
    return (format.dwFlags & DDPF_RGB) && format.dwRGBBitCount == 16 && format.dwRBitMask == 0xF800 &&
           format.dwGBitMask == 0x07E0 && format.dwBBitMask == 0x001F;
}

bool IsAligned(LONG size, DWORD alignment) { return alignment == 0 || size % static_cast<LONG>(alignment) == 0; }

class DirectDrawSurface : public ComObject<IDirectDrawSurface> {
public:
    enum class Kind { Primary, Overlay, BackBuffer };

    DirectDrawSurface(Kind kind, int width, int height) : m_kind(kind) {
        if (kind != Kind::Primary)
            m_pixels = std::make_shared<platform::Surface>(width, height);
    }

    HRESULT GetDC(HDC* dc) override {
        std::lock_guard guard(m_lock);
        if (!dc)
            return DDERR_INVALIDPARAMS;
        if (m_kind == Kind::Primary)
            return DDERR_GENERIC; // nothing here draws on the screen through DirectDraw
        if (m_lost)
            return DDERR_SURFACELOST;
        if (m_dc)
            return DDERR_DCALREADYCREATED;
        m_dc = platform::CreateTargetDC(m_pixels, {0, 0}, platform::RectRegion(m_pixels->Bounds()), {});
        *dc = m_dc;
        return m_dc ? DD_OK : DDERR_GENERIC;
    }

    HRESULT ReleaseDC(HDC dc) override {
        bool shown;
        {
            std::lock_guard guard(m_lock);
            if (!dc || dc != m_dc)
                return DDERR_INVALIDPARAMS;
            DeleteDC(m_dc);
            m_dc = nullptr;
            shown = m_kind == Kind::Overlay && m_shown;
        }
        // Drawn on the buffer shown: the screen shows it now.
        if (shown)
            platform::OverlayLayerChanged();
        return DD_OK;
    }

    HRESULT UpdateOverlay(RECT* source, IDirectDrawSurface*, RECT* destination, DWORD flags,
                          DDOVERLAYFX* effects) override {
        std::lock_guard guard(m_lock);
        if (m_kind != Kind::Overlay)
            return DDERR_GENERIC;
        if (m_lost)
            return DDERR_SURFACELOST;
        if ((flags & DDOVER_KEYDESTOVERRIDE) && !effects)
            return DDERR_INVALIDPARAMS;
        RECT from = source ? *source : m_pixels->Bounds();
        RECT to = destination ? *destination : m_destination;
        if (HRESULT refused = Check(from, to); refused != DD_OK)
            return refused;
        m_source = from;
        m_destination = to;
        if (flags & DDOVER_KEYDESTOVERRIDE)
            m_key = static_cast<WORD>(effects->dckDestColorkey.dwColorSpaceLowValue);
        if (effects)
            m_alpha = effects->dwAlphaConst;
        if (flags & DDOVER_HIDE)
            m_shown = false;
        else if (flags & DDOVER_SHOW)
            m_shown = true;
        Publish();
        return DD_OK;
    }

    HRESULT SetOverlayPosition(LONG x, LONG y) override {
        std::lock_guard guard(m_lock);
        if (m_kind != Kind::Overlay)
            return DDERR_GENERIC;
        if (HRESULT lost = LoseIfAsked(); lost != DD_OK)
            return lost;
        OffsetRect(&m_destination, x - m_destination.left, y - m_destination.top);
        Publish();
        return DD_OK;
    }

    HRESULT Flip(IDirectDrawSurface*, DWORD) override {
        std::lock_guard guard(m_lock);
        if (m_kind != Kind::Overlay || !m_back)
            return DDERR_NOTFLIPPABLE;
        if (HRESULT lost = LoseIfAsked(); lost != DD_OK)
            return lost;
        if (m_dc || !m_back->SwapPixels(m_pixels))
            return DDERR_DCALREADYCREATED;
        Publish();
        return DD_OK;
    }

    HRESULT GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** surface) override {
        if (!caps || !surface)
            return DDERR_INVALIDPARAMS;
        std::lock_guard guard(m_lock);
        if (!m_back || !(caps->dwCaps & DDSCAPS_BACKBUFFER))
            return DDERR_GENERIC;
        m_back->AddRef();
        *surface = m_back;
        return DD_OK;
    }

    HRESULT IsLost() override {
        std::lock_guard guard(m_lock);
        return m_lost ? DDERR_SURFACELOST : DD_OK;
    }

    HRESULT Restore() override {
        std::lock_guard guard(m_lock);
        m_lost = false;
        if (m_back)
            m_back->Restore();
        return DD_OK;
    }

    // Made by CreateSurface: the overlay owns its back buffer.
    void AttachBackBuffer(DirectDrawSurface* back) { m_back = back; }

protected:
    ~DirectDrawSurface() override {
        if (m_dc)
            DeleteDC(m_dc);
        if (m_kind == Kind::Overlay && m_shown)
            platform::SetOverlayLayer(std::nullopt);
        if (m_back)
            m_back->Release();
    }

private:
    // The driver's rules for an overlay's rectangles.
    HRESULT Check(const RECT& from, const RECT& to) const {
        platform::OverlayDriver driver = ReportedDriver();
        LONG sourceWidth = from.right - from.left, sourceHeight = from.bottom - from.top;
        LONG destinationWidth = to.right - to.left, destinationHeight = to.bottom - to.top;
        RECT inside = platform::IntersectRects(from, m_pixels->Bounds());
        bool within = inside.left == from.left && inside.top == from.top && inside.right == from.right &&
                      inside.bottom == from.bottom;
        if (sourceWidth <= 0 || sourceHeight <= 0 || !within)
            return DDERR_INVALIDPARAMS;
        if (!IsAligned(sourceWidth, driver.alignSizeSource) ||
            !IsAligned(destinationWidth, driver.alignSizeDestination))
            return DDERR_INVALIDPARAMS;
        // The hardware stretches by at least its minimum and never shrinks below it.
        auto atLeast = [&](LONG destination, LONG source) {
            return static_cast<long long>(destination) * 1000 >= static_cast<long long>(source) * driver.minStretch;
        };
        if (!platform::IsEmptyRect(to) &&
            (!atLeast(destinationWidth + 1, sourceWidth) || !atLeast(destinationHeight + 1, sourceHeight)))
            return DDERR_INVALIDPARAMS;
        return DD_OK;
    }

    HRESULT LoseIfAsked() {
        if (m_lost)
            return DDERR_SURFACELOST;
        if (!TakeLoss())
            return DD_OK;
        // The memory went to someone else: what it held is gone.
        m_lost = true;
        ClearPixels();
        if (m_back)
            m_back->Lose();
        return DDERR_SURFACELOST;
    }

    void Lose() {
        std::lock_guard guard(m_lock);
        m_lost = true;
        ClearPixels();
    }

    void ClearPixels() {
        if (m_pixels)
            platform::FillPixels(*m_pixels, m_pixels->Bounds(), 0, platform::RectRegion(m_pixels->Bounds()));
    }

    // A back buffer gives its memory to the overlay for the overlay's; false while it is
    // being drawn on.
    bool SwapPixels(std::shared_ptr<platform::Surface>& front) {
        std::lock_guard guard(m_lock);
        if (m_dc)
            return false;
        std::swap(front, m_pixels);
        return true;
    }

    void Publish() {
        if (!m_shown) {
            platform::SetOverlayLayer(std::nullopt);
            return;
        }
        platform::SetOverlayLayer(platform::OverlayLayer{m_pixels, m_source, m_destination, m_key});
    }

    Kind m_kind;
    std::mutex m_lock;
    std::shared_ptr<platform::Surface> m_pixels;
    HDC m_dc = nullptr;
    bool m_lost = false;
    bool m_shown = false;
    RECT m_source{};
    RECT m_destination{};
    std::optional<WORD> m_key;
    DWORD m_alpha = 0;
    DirectDrawSurface* m_back = nullptr;
};

class DirectDrawObject : public ComObject<IDirectDraw> {
public:
    HRESULT SetCooperativeLevel(HWND, DWORD) override { return DD_OK; }

    HRESULT CreateSurface(DDSURFACEDESC* description, IDirectDrawSurface** surface, IUnknown* outer) override {
        if (!description || !surface || outer)
            return DDERR_INVALIDPARAMS;
        *surface = nullptr;
        DWORD caps = (description->dwFlags & DDSD_CAPS) ? description->ddsCaps.dwCaps : 0;
        if (caps & DDSCAPS_PRIMARYSURFACE) {
            *surface = new DirectDrawSurface(DirectDrawSurface::Kind::Primary, 0, 0);
            return DD_OK;
        }
        if (!(caps & DDSCAPS_OVERLAY))
            return DDERR_INVALIDPARAMS;
        return CreateOverlay(*description, caps, surface);
    }

    HRESULT GetCaps(DDCAPS* driver, DDCAPS* emulation) override {
        platform::OverlayDriver reported = ReportedDriver();
        if (driver) {
            *driver = DDCAPS{sizeof(DDCAPS), 0, 0, 0, 0, 0, 0, 0};
            if (reported.overlays) {
                driver->dwCaps = DDCAPS_OVERLAY | DDCAPS_OVERLAYSTRETCH;
                driver->dwMaxVisibleOverlays = 1;
                driver->dwMinOverlayStretch = reported.minStretch;
                driver->dwMaxOverlayStretch = 20000;
            }
            if (reported.overlays && reported.destinationColourKey)
                driver->dwCKeyCaps = DDCKEYCAPS_DESTOVERLAY;
            if (reported.alignSizeSource) {
                driver->dwCaps |= DDCAPS_ALIGNSIZESRC;
                driver->dwAlignSizeSrc = reported.alignSizeSource;
            }
            if (reported.alignSizeDestination) {
                driver->dwCaps |= DDCAPS_ALIGNSIZEDEST;
                driver->dwAlignSizeDest = reported.alignSizeDestination;
            }
        }
        if (emulation)
            *emulation = DDCAPS{sizeof(DDCAPS), 0, 0, 0, 0, 0, 0, 0};
        return DD_OK;
    }

private:
    static HRESULT CreateOverlay(const DDSURFACEDESC& description, DWORD caps, IDirectDrawSurface** surface) {
        constexpr DWORD Needed = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        if (!ReportedDriver().overlays)
            return DDERR_NOOVERLAYHW;
        if ((description.dwFlags & Needed) != Needed || description.dwWidth == 0 || description.dwHeight == 0 ||
            description.dwWidth > 4096 || description.dwHeight > 4096)
            return DDERR_INVALIDPARAMS;
        if (!IsRgb565(description.ddpfPixelFormat))
            return DDERR_INVALIDPIXELFORMAT;
        bool flippable = (description.dwFlags & DDSD_BACKBUFFERCOUNT) && description.dwBackBufferCount > 0;
        if (flippable && (description.dwBackBufferCount != 1 || !(caps & DDSCAPS_FLIP)))
            return DDERR_INVALIDPARAMS;
        int width = static_cast<int>(description.dwWidth), height = static_cast<int>(description.dwHeight);
        auto* overlay = new DirectDrawSurface(DirectDrawSurface::Kind::Overlay, width, height);
        if (flippable)
            overlay->AttachBackBuffer(new DirectDrawSurface(DirectDrawSurface::Kind::BackBuffer, width, height));
        *surface = overlay;
        return DD_OK;
    }
};

} // namespace

HRESULT DirectDrawCreate(GUID*, IDirectDraw** directDraw, IUnknown* outer) {
    if (!directDraw || outer)
        return DDERR_INVALIDPARAMS;
    *directDraw = new DirectDrawObject;
    return DD_OK;
}

namespace platform {

void SetOverlayDriver(const OverlayDriver& driver) {
    DriverState& state = Driver();
    std::lock_guard guard(state.lock);
    state.driver = driver;
}

OverlayDriver CurrentOverlayDriver() { return ReportedDriver(); }

void LoseOverlaySurfaces(int passing) {
    DriverState& state = Driver();
    std::lock_guard guard(state.lock);
    state.loseAfter = passing;
}

} // namespace platform
