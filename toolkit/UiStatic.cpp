#include "toolkit/UiStatic.h"

#include "platform/gdi/GdiApi.h"
#include "toolkit/ControlLook.h"
#include "toolkit/Theme.h"

UiStatic::UiStatic() { SetTextColour(GetThemeColour(SYSCLR_STATIC_TEXT)); }

void UiStatic::PaintWin(HDC dc, const RECT& rect) { DrawText(dc, rect, m_textColour); }

UiCaption::UiCaption() {
    SetTextColour(GetThemeColour(SYSCLR_CAPTION_TEXT));
    SetTextSize(22);
}

void UiCaption::PaintWin(HDC dc, const RECT& rect) {
    // Light at the top, the darker caption colour at the bottom, an inner highlight under
    // the top edge and the outer line along the bottom.
    FillVerticalGradient(dc, rect, GetThemeColour(SYSCLR_CAPTION_BG2), GetThemeColour(SYSCLR_CAPTION_BG1));
    FillSolid(dc, RECT{rect.left, rect.top, rect.right, rect.top + 1}, GetThemeColour(SYSCLR_CAPTION_INNER_LINE));
    FillSolid(dc, RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, GetThemeColour(SYSCLR_CAPTION_OUTER_LINE));
    DrawText(dc, rect, m_textColour);
}

void UiPicture::SetImage(ToolkitImage* image, bool stretch) {
    m_image = image;
    m_stretch = stretch;
    Invalidate();
}

void UiPicture::PaintWin(HDC dc, const RECT& rect) {
    if (!m_image)
        return;
    if (m_stretch) {
        DrawImage(m_image, dc, rect, true, false);
        return;
    }
    SIZE size = ImageSize(m_image);
    int x = rect.left + (rect.right - rect.left - size.cx) / 2, y = rect.top + (rect.bottom - rect.top - size.cy) / 2;
    DrawImage(m_image, dc, RECT{x, y, x + size.cx, y + size.cy}, false, false);
}
