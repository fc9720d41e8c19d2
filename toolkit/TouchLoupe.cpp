#include "toolkit/TouchLoupe.h"

#include "platform/base/DebugOutput.h"
#include "platform/base/LastError.h"
#include "platform/device/Module.h"
#include "platform/display/PaintApi.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/ResourceBitmap.h"
#include "platform/window/WindowApi.h"
#include "toolkit/GdiGuards.h"
#include "toolkit/Image.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"

#include <algorithm>
#include <utility>

namespace {

// Source inside the mask, destination kept outside it.
constexpr DWORD MaskedCopy = 0xCCAA0029;

} // namespace

TouchLoupe& TouchLoupe::Shared() {
    static TouchLoupe& loupe = *new TouchLoupe;
    return loupe;
}

void TouchLoupe::Open(UiEdit& control, POINT finger) {
    Close();
    m_control = &control;
    m_screenWidth = GetSystemMetrics(SM_CXSCREEN);
    m_screenHeight = GetSystemMetrics(SM_CYSCREEN);
    HMODULE module = GetResourceModule();
    if (!m_mask)
        m_mask = LoadBitmapW(module, MAKEINTRESOURCEW(LoupeMaskBitmap));
    if (!m_frame)
        m_frame = LoadImage(module, LoupeFrameImage, ImageWithBitmap);
    if (!m_overlay.Create(control.GetHostWindow(), 0, 0, m_screenWidth, m_screenHeight, KeyColour, 15, 0, true,
                          PixelFormat565))
        return; // no overlay: the loupe draws nothing
    // The overlay starts as the key in both buffers.
    m_backDrawn = m_frontDrawn = {};
    m_unknownBuffers = 0;
    MoveTo(finger.x, finger.y);
    std::size_t recoveries = m_overlay.Recoveries();
    m_overlay.Show();
    // Lost as it was moved into place: both buffers are empty, the loupe is drawn again.
    if (m_overlay.Recoveries() != recoveries) {
        m_unknownBuffers = 2;
        MoveTo(finger.x, finger.y);
    }
}

void TouchLoupe::MoveTo(int x, int y) {
    if (!m_overlay.IsCreated())
        return;
    // Surfaces lost on the way took the picture with them: it is drawn once more.
    if (!Draw(x, y))
        Draw(x, y);
}

void TouchLoupe::Close() {
    m_overlay.Release();
    // The image stays in the toolkit's cache; only this loupe's hold on it ends.
    m_frame = nullptr;
    if (m_mask)
        DeleteObject(m_mask);
    m_mask = nullptr;
    m_control = nullptr;
    m_rect = {};
}

void TouchLoupe::Place(int x, int y) {
    RECT whole{x - m_width / 2, y - m_height, x - m_width / 2 + m_width, y};
    RECT screen{0, 0, m_screenWidth, m_screenHeight};
    if (!IntersectRect(&m_rect, &whole, &screen))
        m_rect = {};
    m_clipLeft = m_rect.left - whole.left;
    m_clipTop = m_rect.top - whole.top;
}

bool TouchLoupe::Draw(int x, int y) {
    std::size_t recoveries = m_overlay.Recoveries();
    bool drawn = DrawPicture(x, y);
    if (m_overlay.Recoveries() == recoveries)
        return drawn;
    // Surfaces lost and restored on the way: neither buffer holds anything known.
    m_unknownBuffers = 2;
    return false;
}

bool TouchLoupe::DrawPicture(int x, int y) {
    Place(x, y);
    HDC screen = GetDC(nullptr);
    HDC picture = CreateCompatibleDC(screen);
    if (!picture) {
        NKDbgPrintfW(L"CreateCompatibleDC fail\r\n");
        ReleaseDC(nullptr, screen);
        return true;
    }
    HBITMAP bitmap = CreateCompatibleBitmap(screen, m_width, m_height);
    if (!bitmap)
        NKDbgPrintfW(L"CreateCompatibleBitmap err:( %u )\r\n", GetLastError());
    bool drawn = true;
    if (bitmap) {
        SelectedObject selected(picture, bitmap);
        Compose(picture, screen, x, y);
        drawn = Present(picture);
    }
    DeleteDC(picture);
    if (bitmap)
        DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return drawn;
}

// White, then the screen round the finger: from two thirds of the loupe's height above
// it in the upper half of the screen, from half of it below. The white shows only where
// that area leaves the screen; elsewhere the copy covers it whole.
void TouchLoupe::Compose(HDC picture, HDC screen, int x, int y) {
    int above = y < m_screenHeight / 2 ? m_height * 2 / 3 : m_height / 2;
    RECT area{x - m_width / 2, y - above, x - m_width / 2 + m_width, y - above + m_height};
    bool leavesTheScreen = area.left < 0 || area.top < 0 || area.right > m_screenWidth || area.bottom > m_screenHeight;
    if (leavesTheScreen && !BitBlt(picture, 0, 0, m_width, m_height, nullptr, 0, 0, WHITENESS))
        NKDbgPrintfW(L"BitBlt err:( %u )\r\n", GetLastError());
    if (!BitBlt(picture, 0, 0, m_width, m_height, screen, x - m_width / 2, y - above, SRCCOPY))
        NKDbgPrintfW(L"BitBlt err:( %u )\r\n", GetLastError());
}

// The picture goes onto the overlay, filled with the key elsewhere: cut round by the mask
// (outside it the key stays, so the corners show the screen), and the frame over it.
bool TouchLoupe::Present(HDC picture) {
    HDC overlay = m_overlay.BeginDraw();
    if (!overlay) {
        NKDbgPrintfW(L"BeginDraw fail\r\n");
        return true;
    }
    HBRUSH key = CreateSolidBrush(KeyColour);
    if (!key) {
        NKDbgPrintfW(L"CreateSolidBrush fail\r\n");
        return !m_overlay.EndDraw(false);
    }
    RECT all{0, 0, m_overlay.Width(), m_overlay.Height()};
    FillRect(overlay, m_unknownBuffers > 0 ? &all : &m_backDrawn, key);
    DeleteObject(key);
    int width = m_rect.right - m_rect.left, height = m_rect.bottom - m_rect.top;
    if (width > 0 && height > 0 &&
        !MaskBlt(overlay, m_rect.left, m_rect.top, width, height, picture, m_clipLeft, m_clipTop, m_mask, m_clipLeft,
                 m_clipTop, MaskedCopy))
        NKDbgPrintfW(L"MaskBlt err:( %u )\r\n", GetLastError());
    RECT frame{m_rect.left - m_clipLeft, m_rect.top - m_clipTop, m_rect.left - m_clipLeft + m_width,
               m_rect.top - m_clipTop + m_height};
    DrawImage(m_frame, overlay, frame, false, false);
    if (m_overlay.EndDraw(true))
        return false; // lost and restored: Draw knows from the count
    // The flip made the back buffer the front one.
    m_backDrawn = std::exchange(m_frontDrawn, frame);
    m_unknownBuffers = std::max(m_unknownBuffers - 1, 0);
    return true;
}
