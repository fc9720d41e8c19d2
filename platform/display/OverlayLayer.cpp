#include "platform/display/OverlayLayer.h"

#include "platform/display/Display.h"

#include <algorithm>
#include <mutex>

namespace platform {
namespace {

struct LayerState {
    std::mutex lock;
    std::optional<OverlayLayer> layer;
};

LayerState& State() {
    static LayerState& state = *new LayerState;
    return state;
}

RECT Union(const RECT& a, const RECT& b) {
    if (IsEmptyRect(a))
        return b;
    if (IsEmptyRect(b))
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// Draws the layer over `rows`, which hold `area` of the screen.
void ComposeLayer(const OverlayLayer& layer, const RECT& area, std::vector<Pixel>& rows) {
    RECT covered = IntersectRects(area, layer.destination);
    int sourceWidth = layer.source.right - layer.source.left, sourceHeight = layer.source.bottom - layer.source.top;
    int destinationWidth = layer.destination.right - layer.destination.left;
    int destinationHeight = layer.destination.bottom - layer.destination.top;
    if (IsEmptyRect(covered) || sourceWidth <= 0 || sourceHeight <= 0 || destinationWidth <= 0 ||
        destinationHeight <= 0)
        return;
    const Surface& pixels = *layer.pixels;
    RECT inside = IntersectRects(layer.source, pixels.Bounds());
    std::lock_guard guard(pixels.Lock());
    int width = area.right - area.left;
    for (int y = covered.top; y < covered.bottom; ++y) {
        int sourceY = layer.source.top + (y - layer.destination.top) * sourceHeight / destinationHeight;
        if (sourceY < inside.top || sourceY >= inside.bottom)
            continue;
        const Pixel* from = pixels.Row(sourceY);
        Pixel* to = rows.data() + static_cast<std::size_t>(y - area.top) * width - area.left;
        for (int x = covered.left; x < covered.right; ++x) {
            int sourceX = layer.source.left + (x - layer.destination.left) * sourceWidth / destinationWidth;
            if (sourceX < inside.left || sourceX >= inside.right)
                continue;
            WORD value = To565(from[sourceX]);
            if (layer.key && value == *layer.key)
                continue;
            to[x] = From565(value);
        }
    }
}

} // namespace

WORD To565(Pixel pixel) {
    return static_cast<WORD>(((pixel >> 8) & 0xF800) | ((pixel >> 5) & 0x07E0) | ((pixel >> 3) & 0x001F));
}

Pixel From565(WORD value) {
    Pixel red = (value >> 11) & 0x1F, green = (value >> 5) & 0x3F, blue = value & 0x1F;
    // The top bits repeated into the low ones, so that full intensity stays full.
    red = (red << 3) | (red >> 2);
    green = (green << 2) | (green >> 4);
    blue = (blue << 3) | (blue >> 2);
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

void SetOverlayLayer(std::optional<OverlayLayer> layer) {
    LayerState& state = State();
    RECT changed;
    {
        std::lock_guard guard(state.lock);
        changed = Union(state.layer ? state.layer->destination : RECT{}, layer ? layer->destination : RECT{});
        state.layer = std::move(layer);
    }
    changed = IntersectRects(changed, ScreenSurface()->Bounds());
    if (!IsEmptyRect(changed))
        ScreenChanged(changed);
}

std::optional<OverlayLayer> CurrentOverlayLayer() {
    LayerState& state = State();
    std::lock_guard guard(state.lock);
    return state.layer;
}

void OverlayLayerChanged() {
    std::optional<OverlayLayer> layer = CurrentOverlayLayer();
    RECT changed = layer ? IntersectRects(layer->destination, ScreenSurface()->Bounds()) : RECT{};
    if (!IsEmptyRect(changed))
        ScreenChanged(changed);
}

std::vector<Pixel> ComposedArea(const RECT& wanted) {
    std::shared_ptr<Surface> screen = ScreenSurface();
    RECT area = IntersectRects(wanted, screen->Bounds());
    int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return {};
    std::vector<Pixel> rows(static_cast<std::size_t>(width) * height);
    {
        std::lock_guard guard(screen->Lock());
        for (int y = 0; y < height; ++y)
            std::copy_n(screen->Row(area.top + y) + area.left, width,
                        rows.data() + static_cast<std::size_t>(y) * width);
    }
    if (std::optional<OverlayLayer> layer = CurrentOverlayLayer(); layer && layer->pixels)
        ComposeLayer(*layer, area, rows);
    return rows;
}

std::shared_ptr<Surface> ComposedScreen() {
    std::shared_ptr<Surface> screen = ScreenSurface();
    auto composed = std::make_shared<Surface>(screen->Width(), screen->Height());
    std::vector<Pixel> rows = ComposedArea(screen->Bounds());
    for (int y = 0; y < screen->Height(); ++y)
        std::copy_n(rows.data() + static_cast<std::size_t>(y) * screen->Width(), screen->Width(), composed->Row(y));
    return composed;
}

} // namespace platform
