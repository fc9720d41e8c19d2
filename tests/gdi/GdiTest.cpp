#include "platform/base/LastError.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>

namespace {

// A memory context with a white 32-bit bitmap of the given size selected.
struct Canvas {
    Canvas(int width, int height) : dc(CreateCompatibleDC(nullptr)), bitmap(CreateCompatibleBitmap(dc, width, height)) {
        old = SelectObject(dc, bitmap);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // The ink: pixels darker than mid grey, and their bounds.
    RECT Ink(int width, int height) const {
        RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (GetGValue(GetPixel(dc, x, y)) < 128)
                    box = {std::min(box.left, static_cast<LONG>(x)), std::min(box.top, static_cast<LONG>(y)),
                           std::max(box.right, static_cast<LONG>(x + 1)),
                           std::max(box.bottom, static_cast<LONG>(y + 1))};
            }
        }
        return box;
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

TEST(Gdi, FillsAndCopiesStayInsideTheirClip) {
    Canvas canvas(20, 20);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    IntersectClipRect(canvas.dc, 5, 5, 15, 15);
    RECT all{0, 0, 20, 20};
    FillRect(canvas.dc, &all, red);
    EXPECT_EQ(GetPixel(canvas.dc, 4, 4), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(canvas.dc, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 14, 14), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 15, 14), RGB(255, 255, 255));
    SelectClipRgn(canvas.dc, nullptr);

    Canvas copy(20, 20);
    EXPECT_TRUE(BitBlt(copy.dc, 2, 3, 20, 20, canvas.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(copy.dc, 7, 8), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(copy.dc, 6, 8), RGB(255, 255, 255));
    EXPECT_TRUE(BitBlt(copy.dc, 0, 0, 3, 3, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(GetPixel(copy.dc, 2, 2), RGB(0, 0, 0));
    // Overlapping copy within one bitmap keeps the source intact while it is read.
    EXPECT_TRUE(BitBlt(copy.dc, 0, 1, 20, 19, copy.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(copy.dc, 0, 3), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(copy.dc, 0, 4), RGB(255, 255, 255));
    DeleteObject(red);
}

TEST(Gdi, HandlesAreCheckedAndObjectsOutliveTheirHandles) {
    EXPECT_FALSE(BitBlt(reinterpret_cast<HDC>(0x1234), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    Canvas canvas(4, 4);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ previous = SelectObject(canvas.dc, blue);
    ASSERT_NE(previous, nullptr);
    EXPECT_TRUE(DeleteObject(blue));
    EXPECT_TRUE(Rectangle(canvas.dc, 0, 0, 4, 4)); // the deleted brush is still selected and still works
    EXPECT_EQ(GetPixel(canvas.dc, 1, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(canvas.dc, 0, 0), RGB(0, 0, 0)); // the default pen is black
    RECT one{0, 0, 1, 1};
    EXPECT_FALSE(FillRect(canvas.dc, &one, blue));
    BITMAP info{};
    EXPECT_EQ(GetObjectW(canvas.bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 4);
    EXPECT_EQ(info.bmBitsPixel, 32);
}

TEST(Gdi, AHollowBrushDrawsOnlyTheOutline) {
    Canvas canvas(10, 10);
    SelectObject(canvas.dc, GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(Rectangle(canvas.dc, 1, 1, 9, 9));
    EXPECT_EQ(GetPixel(canvas.dc, 1, 5), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 8, 5), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 5, 8), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 5, 5), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(canvas.dc, 9, 9), RGB(255, 255, 255));
}

TEST(Gdi, BlendingGradientsAndMasks) {
    Canvas canvas(10, 10);
    Canvas source(10, 10);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RECT all{0, 0, 10, 10};
    FillRect(source.dc, &all, black);
    EXPECT_TRUE(AlphaBlend(canvas.dc, 0, 0, 10, 10, source.dc, 0, 0, 10, 10, BLENDFUNCTION{AC_SRC_OVER, 0, 128, 0}));
    EXPECT_NEAR(GetRValue(GetPixel(canvas.dc, 5, 5)), 127, 2);

    // Premultiplied per-pixel alpha: a source pixel of alpha 0 leaves the target alone, an
    // opaque one replaces it; between, each channel is source + target × (255 − alpha) /
    // 255, at most 255 (a colour above its alpha saturates).
    void* bits = nullptr;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bits, nullptr);
    std::uint32_t pixels[4] = {0x00000000, 0xFF0000FF, 0x80404040, 0x40FF8000};
    std::memcpy(bits, pixels, sizeof pixels);
    HDC dibDc = CreateCompatibleDC(nullptr);
    SelectObject(dibDc, dib);
    Canvas white(4, 1);
    EXPECT_TRUE(AlphaBlend(white.dc, 0, 0, 4, 1, dibDc, 0, 0, 4, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}));
    EXPECT_EQ(GetPixel(white.dc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(white.dc, 1, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(white.dc, 2, 0), RGB(191, 191, 191));
    EXPECT_EQ(GetPixel(white.dc, 3, 0), RGB(255, 255, 191));
    DeleteDC(dibDc);
    DeleteObject(dib);

    TRIVERTEX vertices[2] = {{0, 0, 0, 0, 0, 0}, {10, 10, 0xFF00, 0xFF00, 0xFF00, 0}};
    GRADIENT_RECT mesh{0, 1};
    EXPECT_TRUE(GradientFill(canvas.dc, vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V));
    EXPECT_EQ(GetPixel(canvas.dc, 3, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 3, 9), RGB(255, 255, 255));
    EXPECT_LT(GetRValue(GetPixel(canvas.dc, 3, 4)), GetRValue(GetPixel(canvas.dc, 3, 5)));

    // The loupe's mask: the source inside (mask clear), the destination kept outside (mask set).
    const BYTE maskBits[10 * 2] = {0xFF, 0xC0, 0xFF, 0xC0, 0xFF, 0xC0, 0xFF, 0xC0, 0xFF, 0xC0,
                                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    HBITMAP mask = CreateBitmap(10, 10, 1, 1, maskBits);
    Canvas target(10, 10);
    EXPECT_TRUE(MaskBlt(target.dc, 0, 0, 10, 10, source.dc, 0, 0, mask, 0, 0, 0xCCAA0029));
    EXPECT_EQ(GetPixel(target.dc, 5, 2), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(target.dc, 5, 7), RGB(0, 0, 0));
    DeleteObject(mask);
}

LOGFONTW Font(LONG height, LONG weight = FW_NORMAL, LONG escapement = 0) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfEscapement = escapement;
    return font;
}

TEST(Text, CentredTextIsCentredAndEllipsisFitsItsRectangle) {
    Canvas canvas(200, 40);
    LOGFONTW logical = Font(-20);
    HFONT font = CreateFontIndirectW(&logical);
    SelectObject(canvas.dc, font);
    SetBkMode(canvas.dc, TRANSPARENT);
    RECT box{0, 0, 200, 40};
    DrawTextW(canvas.dc, L"中文 Text", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RECT ink = canvas.Ink(200, 40);
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 100, 3);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 20, 4);

    Canvas narrow(80, 30);
    SelectObject(narrow.dc, font);
    SetBkMode(narrow.dc, TRANSPARENT);
    RECT line{0, 0, 60, 30};
    DrawTextW(narrow.dc, L"一行很长很长很长的中文标题", -1, &line, DT_SINGLELINE | DT_END_ELLIPSIS);
    RECT inked = narrow.Ink(80, 30);
    EXPECT_LE(inked.right, 60);
    EXPECT_GT(inked.right, 40);
    SIZE dots;
    GetTextExtentPoint32W(narrow.dc, L"\u2026", 1, &dots);
    EXPECT_GT(dots.cx, 0);
    DeleteObject(font);
}

TEST(Text, CalcRectGivesTheHeightDrawingUses) {
    Canvas canvas(100, 200);
    LOGFONTW logical = Font(-16);
    HFONT font = CreateFontIndirectW(&logical);
    SelectObject(canvas.dc, font);
    TEXTMETRICW metrics{};
    ASSERT_TRUE(GetTextMetricsW(canvas.dc, &metrics));
    RECT measured{0, 0, 100, 0};
    const wchar_t* text = L"中文在任何两个字之间都可以断开，所以这一段会占好几行";
    int height = DrawTextW(canvas.dc, text, -1, &measured, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(height, measured.bottom);
    EXPECT_GE(height, 3 * metrics.tmHeight);
    EXPECT_EQ(height % metrics.tmHeight, 0);
    RECT drawn{0, 0, 100, 200};
    EXPECT_EQ(DrawTextW(canvas.dc, text, -1, &drawn, DT_WORDBREAK), height);
    RECT ink = canvas.Ink(100, 200);
    EXPECT_LE(ink.bottom, height);
    EXPECT_GT(ink.bottom, height - metrics.tmHeight);
    EXPECT_LE(ink.right, 100);
    DeleteObject(font);
}

// A long run of different characters keeps no more glyphs than the bound, and a line
// measures the same after the glyphs have been forgotten.
TEST(Text, TheGlyphsAFontKeepsAreBounded) {
    LOGFONTW logical{};
    logical.lfHeight = -20;
    std::shared_ptr<platform::FontFace> font = platform::OpenFont(logical);
    const int width = platform::TextWidth(*font, L"功夫熊猫 Kungfu");
    std::size_t most = 0;
    for (char32_t c = 0x4E00; c < 0x4E00 + platform::FontFace::MaximumGlyphs + 500; ++c) {
        std::lock_guard guard(font->lock);
        font->GlyphFor(c);
        most = std::max(most, font->glyphs.size());
    }
    EXPECT_EQ(most, platform::FontFace::MaximumGlyphs);
    EXPECT_EQ(platform::TextWidth(*font, L"功夫熊猫 Kungfu"), width);
}

TEST(Text, RotatedTextRunsUpwards) {
    Canvas canvas(60, 200);
    LOGFONTW logical = Font(-20, FW_BOLD, 900);
    HFONT font = CreateFontIndirectW(&logical);
    SelectObject(canvas.dc, font);
    SetBkMode(canvas.dc, TRANSPARENT);
    ExtTextOutW(canvas.dc, 10, 190, 0, nullptr, L"向上的文字", 5, nullptr);
    RECT ink = canvas.Ink(60, 200);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.bottom, 190);
    EXPECT_GT(ink.bottom - ink.top, 3 * (ink.right - ink.left));
    DeleteObject(font);
}

} // namespace
