#pragma once
// The device's screen: one 480 × 720 surface that every window draws on through its
// device contexts. Headless, it lives in memory only (tests inject input and take PNG
// screenshots); a desktop window (SdlDisplay) shows it. What windows draw is collected
// as a dirty rectangle, which the desktop window takes and presents.

#include "platform/gdi/Surface.h"

#include <filesystem>
#include <memory>

namespace platform {

std::shared_ptr<Surface> ScreenSurface();
// The part of the screen changed since the last call, and forgets it.
RECT TakeDirtyRect();
void ScreenChanged(const RECT& dirty);
// Writes the screen (or a part of it), with the overlay's layer on top, as a PNG file;
// false when it cannot be written.
bool SaveScreenshot(const std::filesystem::path& file, const RECT* area = nullptr);
bool SavePng(const Surface& surface, const RECT& area, const std::filesystem::path& file);

} // namespace platform
