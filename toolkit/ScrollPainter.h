#pragma once
// Moving a scrolling control's picture without painting it all again: the pixels that
// stay visible are moved inside the host window's back buffer, only the strip that
// comes into view (and whatever is drawn over the moving content) is painted there by
// the window's own painter, and the control's rectangle is then shown on the screen.
// The back buffer and the screen end up exactly as a full repaint would leave them.
//
// Runs on the host window's thread.

#include "platform/gdi/GdiTypes.h"

#include <functional>

class UiWin;

// Moves the picture of `area` (window co-ordinates, inside `control`) by `move` rows,
// downwards when positive. `moveContent` is called once, after the back buffer has
// been brought up to date and before any pixel moves, to put the control at its new
// top position. False, without calling `moveContent`, when the pixels cannot be reused
// (no host window, not shown, no back buffer yet): the caller then repaints in full.
bool ScrollPixels(UiWin& control, const RECT& area, int move, const std::function<void()>& moveContent);
