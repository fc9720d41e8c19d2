#pragma once
// A test card of what the drawing layer can do: fonts at several sizes and weights,
// Chinese and Latin text, aligned, shortened, wrapped and turned text, a gradient, an
// alpha blend, a stretch, a mask, rounded rectangles and lines.

#include "platform/gdi/GdiTypes.h"

// Draws the card into `dc`, 480 x 720.
void DrawTestCard(HDC dc);
