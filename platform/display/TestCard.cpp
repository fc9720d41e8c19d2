#include "platform/display/TestCard.h"

#include "platform/base/Screen.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"

#include <cwchar>
#include <initializer_list>

namespace {

HFONT Font(LONG height, LONG weight = FW_NORMAL, LONG escapement = 0, BYTE italic = 0, const wchar_t* face = L"") {
    LOGFONTW logical{};
    logical.lfHeight = height;
    logical.lfWeight = weight;
    logical.lfEscapement = escapement;
    logical.lfItalic = italic;
    std::wcsncpy(logical.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&logical);
}

void Text(HDC dc, HFONT font, const wchar_t* text, RECT rect, UINT format) {
    HGDIOBJ old = SelectObject(dc, font);
    DrawTextW(dc, text, -1, &rect, format);
    SelectObject(dc, old);
}

void Frame(HDC dc, RECT rect) {
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, oldBrush);
}

} // namespace

// Draws the card into `dc`, 480 × 720.
void DrawTestCard(HDC dc) {
    RECT all{0, 0, ScreenWidth, ScreenHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    TRIVERTEX band[2] = {{0, 0, 0x1E00, 0x7300, 0xBE00, 0}, {ScreenWidth, 60, 0x0A00, 0x2800, 0x5000, 0}};
    GRADIENT_RECT mesh{0, 1};
    GradientFill(dc, band, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    HFONT title = Font(-28, FW_BOLD);
    Text(dc, title, L"Quillora 测试卡", {0, 0, ScreenWidth, 60}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    SetTextColor(dc, RGB(20, 20, 20));
    int y = 70;
    for (LONG size : {12, 16, 20, 26}) {
        HFONT normal = Font(-size), bold = Font(-size, FW_BOLD);
        wchar_t line[64];
        std::swprintf(line, 64, L"%ld px 中文 Latin", static_cast<long>(size));
        Text(dc, normal, line, {10, y, 240, y + size + 8}, DT_LEFT | DT_SINGLELINE);
        Text(dc, bold, line, {240, y, 470, y + size + 8}, DT_LEFT | DT_SINGLELINE);
        y += size + 10;
        DeleteObject(normal);
        DeleteObject(bold);
    }

    HFONT body = Font(-18);
    HPEN grey = CreatePen(PS_SOLID, 1, RGB(180, 180, 180));
    HGDIOBJ oldPen = SelectObject(dc, grey);
    RECT boxes[] = {{10, 200, 470, 230}, {10, 235, 470, 265}, {10, 270, 230, 300}, {10, 305, 230, 400}};
    for (const RECT& box : boxes)
        Frame(dc, box);
    Text(dc, body, L"居中 centred", boxes[0], DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    Text(dc, body, L"靠右 right", boxes[1], DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    Text(dc, body, L"一行太长的文字要以省略号结尾", boxes[2], DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    Text(dc, body, L"中文可以在任意两个字之间换行, and English breaks at spaces.", boxes[3], DT_LEFT | DT_WORDBREAK);

    HFONT up = Font(-18, FW_NORMAL, 900), down = Font(-18, FW_NORMAL, 2700), over = Font(-18, FW_NORMAL, 1800);
    SelectObject(dc, up);
    ExtTextOutW(dc, 250, 400, 0, nullptr, L"向上 up", 5, nullptr);
    SelectObject(dc, down);
    ExtTextOutW(dc, 470, 305, 0, nullptr, L"向下 down", 7, nullptr);
    SelectObject(dc, over);
    ExtTextOutW(dc, 440, 400, 0, nullptr, L"倒置", 2, nullptr);

    // A small picture, stretched, blended and masked.
    HDC picture = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 40, 40);
    HGDIOBJ oldBitmap = SelectObject(picture, bitmap);
    for (int i = 0; i < 4; ++i) {
        HBRUSH brush = CreateSolidBrush(i % 2 ? RGB(230, 120, 0) : RGB(0, 120, 200));
        RECT quarter{(i % 2) * 20, (i / 2) * 20, (i % 2) * 20 + 20, (i / 2) * 20 + 20};
        FillRect(picture, &quarter, brush);
        DeleteObject(brush);
    }
    BitBlt(dc, 10, 420, 40, 40, picture, 0, 0, SRCCOPY);
    StretchBlt(dc, 60, 420, 120, 80, picture, 0, 0, 40, 40, SRCCOPY);
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 60));
    RECT under{190, 420, 290, 500};
    FillRect(dc, &under, green);
    AlphaBlend(dc, 210, 440, 80, 80, picture, 0, 0, 40, 40, BLENDFUNCTION{AC_SRC_OVER, 0, 128, 0});
    BYTE maskBits[40 * 6] = {};
    for (int row = 0; row < 40; ++row) {
        for (int column = 0; column < 40; ++column) {
            int dx = column - 20, dy = row - 20;
            if (dx * dx + dy * dy > 19 * 19)
                maskBits[row * 6 + column / 8] |= static_cast<BYTE>(0x80 >> (column % 8));
        }
    }
    HBITMAP mask = CreateBitmap(40, 40, 1, 1, maskBits);
    MaskBlt(dc, 310, 420, 40, 40, picture, 0, 0, mask, 0, 0, 0xCCAA0029);
    HBRUSH rounded = CreateSolidBrush(RGB(250, 220, 120));
    HGDIOBJ oldBrush = SelectObject(dc, rounded);
    RoundRect(dc, 370, 420, 470, 500, 24, 24);
    SelectObject(dc, oldBrush);
    MoveToEx(dc, 10, 520, nullptr);
    LineTo(dc, 470, 700);
    MoveToEx(dc, 470, 520, nullptr);
    LineTo(dc, 10, 700);
    SelectObject(dc, oldPen);
    SelectObject(picture, oldBitmap);
    for (HGDIOBJ object :
         std::initializer_list<HGDIOBJ>{bitmap, mask, green, rounded, grey, title, body, up, down, over})
        DeleteObject(object);
    DeleteDC(picture);
}
