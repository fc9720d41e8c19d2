#include "toolkit/ControlLook.h"

#include "platform/gdi/GdiApi.h"
#include "toolkit/Theme.h"

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void FillRounded(HDC dc, const RECT& rect, int radius, COLORREF fill, COLORREF border) {
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, border);
    HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, 2 * radius, 2 * radius);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void DrawToolBarBackground(HDC dc, const RECT& rect) {
    FillSolid(dc, rect, ToolBarColour);
    FillSolid(dc, RECT{rect.left, rect.top, rect.right, rect.top + 1}, ToolBarLineColour);
}

void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom) {
    if (rect.bottom <= rect.top || rect.right <= rect.left)
        return;
    auto vertex = [](LONG x, LONG y, COLORREF colour) {
        return TRIVERTEX{x,
                         y,
                         static_cast<COLOR16>(GetRValue(colour) << 8),
                         static_cast<COLOR16>(GetGValue(colour) << 8),
                         static_cast<COLOR16>(GetBValue(colour) << 8),
                         0};
    };
    TRIVERTEX vertices[2] = {vertex(rect.left, rect.top, top), vertex(rect.right, rect.bottom, bottom)};
    GRADIENT_RECT mesh{0, 1};
    GradientFill(dc, vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
}

COLORREF Darker(COLORREF colour, int percent) {
    auto scale = [percent](int value) { return static_cast<BYTE>(value * (100 - percent) / 100); };
    return RGB(scale(GetRValue(colour)), scale(GetGValue(colour)), scale(GetBValue(colour)));
}

ButtonLook LookOfKind(int kind) {
    switch (kind) {
    case 0: return {0, GetThemeColour(SYSCLR_WINDOW_TEXT), true};                      // text on the window
    case 1: return {RGB(0x6B, 0x77, 0x85), GetThemeColour(SYSCLR_BUTTON_TEXT), false}; // cancel: quiet grey
    case 2: return {RGB(0xD9, 0x4A, 0x3D), GetThemeColour(SYSCLR_BUTTON_TEXT), false}; // a change that removes
    case 5: return {RGB(0x00, 0x73, 0xD7), GetThemeColour(SYSCLR_BUTTON_TEXT), false}; // the main action
    default: return {RGB(0x3D, 0x8B, 0xD9), GetThemeColour(SYSCLR_BUTTON_TEXT), false};
    }
}
