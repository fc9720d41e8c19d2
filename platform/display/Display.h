#pragma once
// The device's screen: one 480 × 720 surface that every window draws on through its
// device contexts, and the backend that shows it: headless (memory only; tests inject
// input and take PNG screenshots) or a desktop window. What windows draw is collected
// as a dirty rectangle that the backend presents.

#include "platform/gdi/Surface.h"

#include <filesystem>
#include <memory>

namespace platform {

class DisplayBackend {
public:
    virtual ~DisplayBackend() = default;
    // Something was drawn in `dirty` (screen co-ordinates). Called on the drawing thread.
    virtual void Changed(const RECT& dirty) = 0;
};

std::shared_ptr<Surface> ScreenSurface();
// Replaces the backend; null gives the headless one.
void SetDisplayBackend(std::unique_ptr<DisplayBackend> backend);
// The part of the screen changed since the last call, and forgets it.
RECT TakeDirtyRect();
void ScreenChanged(const RECT& dirty);
// Writes the screen (or a part of it) as a PNG file; false when it cannot be written.
bool SaveScreenshot(const std::filesystem::path& file, const RECT* area = nullptr);
bool SavePng(const Surface& surface, const RECT& area, const std::filesystem::path& file);

} // namespace platform
