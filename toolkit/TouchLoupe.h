#pragma once
// The text box's touch loupe: after a press-and-hold on a text box, a round 179 × 179
// view of the screen round the finger, drawn above the finger on an overlay over the
// whole screen, that follows the finger until it is lifted. The content comes from two
// thirds of the loupe's height above the finger in the upper half of the screen, from
// half of it in the lower half; a loupe cut off by the screen's edge keeps its content
// where it would be. Without overlay hardware the loupe shows nothing and the text box
// works as ever.
//
// Lives on the thread of the text box it serves. GDI failures go to the debug output.

#include "toolkit/OverlaySurface.h"
#include "toolkit/UiEdit.h"

struct ToolkitImage;

class TouchLoupe : public EditLoupe {
public:
    static constexpr int LoupeWidth = 179, LoupeHeight = 179;
    static constexpr COLORREF KeyColour = 0x00100010;
    static constexpr int PixelFormat565 = 4;

    TouchLoupe() = default;
    ~TouchLoupe() override { Close(); }
    TouchLoupe(const TouchLoupe&) = delete;
    TouchLoupe& operator=(const TouchLoupe&) = delete;

    // The loupe every text box uses unless it is given another.
    static TouchLoupe& Shared();

    void Open(UiEdit& control, POINT finger) override;
    void Follow(POINT finger) override { MoveTo(finger.x, finger.y); }
    void Close(UiEdit& edit) override {
        if (m_control == &edit)
            Close();
    }
    void Close();
    void MoveTo(int x, int y);

    bool IsShowing() const { return m_overlay.IsCreated(); }
    // Where the loupe is on the screen, cut to it.
    const RECT& LoupeRect() const { return m_rect; }

private:
    // Draws the loupe for a finger at (x, y); false when the surfaces were lost on the
    // way and what was drawn is gone.
    bool Draw(int x, int y);
    bool DrawPicture(int x, int y);
    void Place(int x, int y);
    // The screen round the finger, into the memory bitmap selected into `picture`.
    void Compose(HDC picture, HDC screen, int x, int y);
    // The picture onto the overlay, round and framed; false when the surfaces were lost.
    bool Present(HDC picture);

    ToolkitImage* m_frame = nullptr;
    HBITMAP m_mask = nullptr;
    OverlaySurface m_overlay;
    int m_width = LoupeWidth;
    int m_height = LoupeHeight;
    RECT m_rect{};
    // How much of the loupe the screen's left and top edges cut off.
    int m_clipLeft = 0;
    int m_clipTop = 0;
    // What each of the overlay's two buffers holds besides the key: filling these with the
    // key leaves the buffer as filling it whole would, at a fraction of the cost. Unknown
    // (the whole buffer) after the surfaces were lost, for the next two draws.
    RECT m_backDrawn{};
    RECT m_frontDrawn{};
    int m_unknownBuffers = 0;
    UiEdit* m_control = nullptr;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
};
