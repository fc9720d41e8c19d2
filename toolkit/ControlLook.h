#pragma once
// The drawing shared by the toolkit's controls: one flat look for a finger screen.
// The tool bars are dark with light text and icons; buttons are rounded, their colour
// chosen by their kind; the pressed look darkens.

#include "platform/gdi/GdiTypes.h"

constexpr COLORREF ToolBarColour = RGB(0x2E, 0x36, 0x40);
constexpr COLORREF ToolBarPressedColour = RGB(0x1C, 0x22, 0x29);
constexpr COLORREF ToolBarSelectedColour = RGB(0x3D, 0x4F, 0x63);
constexpr COLORREF ToolBarLineColour = RGB(0x48, 0x52, 0x5E);
constexpr COLORREF FieldBorderColour = RGB(0xB8, 0xC4, 0xD0);

void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
// A rounded rectangle filled with `fill`, outlined with `border` (no outline when equal).
void FillRounded(HDC dc, const RECT& rect, int radius, COLORREF fill, COLORREF border);
// The dark bar of the tool bars, with its light top line.
void DrawToolBarBackground(HDC dc, const RECT& rect);
// A gradient from `top` at the rectangle's top to `bottom` at its bottom.
void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom);
// A colour darker by `percent`.
COLORREF Darker(COLORREF colour, int percent);

// Button looks by kind: the face and the text colour.
struct ButtonLook {
    COLORREF face;
    COLORREF text;
    bool flat; // no face: the text (and any image) on what lies below
};
ButtonLook LookOfKind(int kind);
