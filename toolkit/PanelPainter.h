#pragma once
// The toolkit's panel painter: the shaded, rounded box that message boxes, notices,
// option menus and the busy indicators draw behind their content, over a darkened copy
// of what the screen showed before. Painting only; safe on any thread with its own DC.

#include "toolkit/OffscreenBuffer.h"

#include "platform/gdi/GdiTypes.h"

#include <string>

// Darkens `rect` of `dc` by `alpha` (0 nothing ... 255 black).
void DimArea(HDC dc, const RECT& rect, BYTE alpha);

enum class PanelStyle {
    Narrow, // a box with rounded corners on all sides
    Wide,   // the same box, flatter, for screens wider than 480
    Sheet,  // rounded at the top only, standing on the bottom edge (option menus, the progress bar)
};

// A dark, slightly translucent rounded box with a light rim over `rect` of `dc`.
void DrawPanel(HDC dc, const RECT& rect, PanelStyle style = PanelStyle::Narrow);

// Text wrapped at words, measured, and drawn with its block centred in `area`, 5 pixels
// above the middle, in the DC's font and colour.
void DrawTextBlock(HDC dc, const std::wstring& text, const RECT& area);

// What the screen showed under a window before it came up: copied once, drawn first on
// every paint after. Belongs to the thread of its window.
class ScreenSnapshot {
public:
    // Copies `width` × `height` of the screen from the window's top left corner, once;
    // later calls keep the first copy. `dim` darkens the copy (0 for none).
    void Take(HWND window, int width, int height, BYTE dim = 0);
    bool IsTaken() const { return m_buffer.GetDC() != nullptr; }
    void Draw(HDC dc, const RECT& clip) const;
    HDC GetDC() const { return m_buffer.GetDC(); }
    void Release() { m_buffer.Release(); }

private:
    OffscreenBuffer m_buffer;
};

// The snapshot size of a window of client width `width`: 720 high up to 480 wide, 480 high above.
SIZE SnapshotSize(int width);
