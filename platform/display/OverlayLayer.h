#pragma once
// The layer the overlay hardware shows above the screen: a source rectangle of a
// surface, scaled onto a destination rectangle of the screen, at 16 bits (5-6-5) a
// pixel; with a colour key, pixels equal to the key leave the screen beneath them
// showing. Screenshots and the desktop window show the screen with the layer on top;
// windows never draw on it. Set and read from any thread.

#include "platform/gdi/Surface.h"

#include <memory>
#include <optional>

namespace platform {

struct OverlayLayer {
    std::shared_ptr<const Surface> pixels;
    RECT source{};
    RECT destination{};
    std::optional<WORD> key; // 5-6-5
};

// Shows the layer (replacing any shown) or, with nothing, hides it; the screen under
// the old and the new destination counts as changed.
void SetOverlayLayer(std::optional<OverlayLayer> layer);
std::optional<OverlayLayer> CurrentOverlayLayer();
// The layer's pixels changed (a flip): the screen under it counts as changed.
void OverlayLayerChanged();

// A pixel as the overlay holds it, and back.
WORD To565(Pixel pixel);
Pixel From565(WORD value);

// `area` of the screen with the layer on top, as rows of `area`'s width.
std::vector<Pixel> ComposedArea(const RECT& area);
// The whole screen with the layer on top.
std::shared_ptr<Surface> ComposedScreen();

} // namespace platform
