#include "platform/base/LastError.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/TextApi.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace platform {

std::shared_ptr<GdiObject> DefaultFont() {
    static const std::shared_ptr<GdiObject> font = [] {
        auto object = std::make_shared<GdiObject>(GdiObject::Type::Font);
        LOGFONTW logical{};
        logical.lfHeight = -16;
        logical.lfWeight = FW_NORMAL;
        object->font = OpenFont(logical);
        return object;
    }();
    return font;
}

} // namespace platform

using namespace platform;

namespace {

std::shared_ptr<FontFace> FontOf(DeviceContextObject& dc) {
    return dc.font && dc.font->font ? dc.font->font : DefaultFont()->font;
}

// Turns the mask by quarter turns counter-clockwise, as the screen shows it.
CoverageMask Rotate(CoverageMask mask, int quarterTurns) {
    quarterTurns = ((quarterTurns % 4) + 4) % 4;
    if (quarterTurns == 0)
        return mask; // moved, not copied
    CoverageMask turned;
    bool sideways = quarterTurns % 2 == 1;
    turned.width = sideways ? mask.height : mask.width;
    turned.height = sideways ? mask.width : mask.height;
    turned.coverage.resize(mask.coverage.size());
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            int tx, ty;
            switch (quarterTurns) {
            case 1: tx = y, ty = mask.width - 1 - x; break;
            case 2: tx = mask.width - 1 - x, ty = mask.height - 1 - y; break;
            default: tx = mask.height - 1 - y, ty = x; break;
            }
            turned.coverage[static_cast<std::size_t>(ty) * turned.width + tx] =
                mask.coverage[static_cast<std::size_t>(y) * mask.width + x];
        }
    }
    return turned;
}

// Draws one line of text with its top left (before turning) at (x, y); returns its box.
RECT DrawLine(DeviceContextObject& dc, int x, int y, std::wstring_view text, const RectRegion& clip) {
    std::shared_ptr<FontFace> font = FontOf(dc);
    CoverageMask line = RenderLine(*font, text, font->logical.lfUnderline != 0);
    int turns = font->logical.lfEscapement / 900;
    int lineWidth = line.width, lineHeight = line.height;
    CoverageMask turned = Rotate(std::move(line), turns);
    POINT topLeft{x, y};
    switch (((turns % 4) + 4) % 4) {
    case 1: topLeft = {x, y - lineWidth}; break;
    case 2: topLeft = {x - lineWidth, y - lineHeight}; break;
    case 3: topLeft = {x - lineHeight, y}; break;
    default: break;
    }
    RECT box{topLeft.x, topLeft.y, topLeft.x + turned.width, topLeft.y + turned.height};
    RECT target = dc.ToTarget(box);
    if (dc.backgroundMode == OPAQUE)
        FillPixels(*dc.target, target, PixelFromColor(dc.backgroundColor), clip);
    BlendCoverage(*dc.target, {target.left, target.top}, turned, PixelFromColor(dc.textColor), clip);
    dc.Drawn(target);
    return box;
}

// Mnemonic prefixes: "&&" is "&", "&x" is "x".
std::wstring WithoutPrefixes(std::wstring_view text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

bool BreaksAnywhere(wchar_t c) { return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFFEF); }

// The lines of the text within `width`: hard breaks always (unless single line), soft
// ones at spaces and between characters of Chinese text when `wrap`.
std::vector<std::wstring> Lines(FontFace& font, const std::wstring& text, int width, bool singleLine, bool wrap) {
    std::vector<std::wstring> lines;
    std::vector<std::wstring> paragraphs;
    if (singleLine) {
        paragraphs.push_back(text);
    } else {
        std::size_t start = 0;
        for (std::size_t at; (at = text.find(L'\n', start)) != std::wstring::npos; start = at + 1)
            paragraphs.push_back(text.substr(start, at > start && text[at - 1] == L'\r' ? at - 1 - start : at - start));
        paragraphs.push_back(text.substr(start));
    }
    for (const std::wstring& paragraph : paragraphs) {
        if (!wrap || singleLine) {
            lines.push_back(paragraph);
            continue;
        }
        std::wstring line;
        std::size_t lastBreak = std::wstring::npos;
        for (wchar_t c : paragraph) {
            std::wstring longer = line + c;
            if (!line.empty() && TextWidth(font, longer) > width && c != L' ') {
                if (lastBreak != std::wstring::npos && lastBreak > 0) {
                    lines.push_back(line.substr(0, lastBreak));
                    line = line.substr(lastBreak);
                    while (!line.empty() && line.front() == L' ')
                        line.erase(line.begin());
                    line += c;
                } else {
                    lines.push_back(line);
                    line = std::wstring(1, c);
                }
                lastBreak = std::wstring::npos;
                continue;
            }
            line = longer;
            if (c == L' ')
                lastBreak = line.size() - 1;
            else if (BreaksAnywhere(c))
                lastBreak = line.size();
        }
        while (!line.empty() && line.back() == L' ')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The longest start of the text that fits the width with "…" after it.
std::wstring WithEllipsis(FontFace& font, const std::wstring& text, int width) {
    if (TextWidth(font, text) <= width)
        return text;
    std::wstring cut = text;
    while (!cut.empty() && TextWidth(font, cut + L"\u2026") > width)
        cut.pop_back();
    return cut + L"\u2026";
}

} // namespace

HFONT CreateFontIndirectW(const LOGFONTW* logical) {
    if (!logical) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto font = std::make_shared<GdiObject>(GdiObject::Type::Font);
    font->font = OpenFont(*logical);
    return InsertHandle(std::move(font));
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics) {
    auto context = LookupDC(dc);
    if (!context || !metrics)
        return FALSE;
    std::shared_ptr<FontFace> font = FontOf(*context);
    *metrics = TEXTMETRICW{font->Height(),
                           font->ascent,
                           font->descent,
                           font->Height() - font->pixelSize,
                           0,
                           font->averageWidth,
                           font->pixelSize,
                           font->logical.lfWeight ? font->logical.lfWeight : FW_NORMAL};
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int length, SIZE* size) {
    auto context = LookupDC(dc);
    if (!context || !size || (!text && length > 0) || length < 0)
        return FALSE;
    std::shared_ptr<FontFace> font = FontOf(*context);
    *size = {TextWidth(*font, std::wstring_view(text ? text : L"", static_cast<std::size_t>(length))), font->Height()};
    return TRUE;
}

BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int length, int maxExtent, LPINT fit, LPINT dx, SIZE* size) {
    auto context = LookupDC(dc);
    if (!context || !size || (!text && length > 0) || length < 0)
        return FALSE;
    std::shared_ptr<FontFace> font = FontOf(*context);
    int width = 0, fitting = 0;
    std::lock_guard guard(font->lock);
    for (int i = 0; i < length; ++i) {
        width += font->GlyphFor(static_cast<char32_t>(text[i])).advance;
        if (dx)
            dx[i] = width;
        if (width <= maxExtent)
            fitting = i + 1;
    }
    if (fit)
        *fit = fitting;
    *size = {width, font->Height()};
    return TRUE;
}

BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT length, const INT*) {
    auto context = LookupDC(dc);
    if (!context || (!text && length > 0))
        return FALSE;
    RectRegion clip = context->Clip();
    if (rect && (options & ETO_CLIPPED))
        clip.Intersect(context->ToTarget(*rect));
    if (rect && (options & ETO_OPAQUE)) {
        RECT target = context->ToTarget(*rect);
        FillPixels(*context->target, target, PixelFromColor(context->backgroundColor), clip);
        context->Drawn(target);
    }
    if (length > 0)
        DrawLine(*context, x, y, std::wstring_view(text, length), clip);
    return TRUE;
}

int DrawTextW(HDC dc, LPCWSTR text, int length, RECT* rect, UINT format) {
    auto context = LookupDC(dc);
    if (!context || !rect || !text)
        return 0;
    std::wstring source(text, length < 0 ? std::wcslen(text) : static_cast<std::size_t>(length));
    if (!(format & DT_NOPREFIX))
        source = WithoutPrefixes(source);
    std::shared_ptr<FontFace> font = FontOf(*context);
    int width = rect->right - rect->left;
    bool singleLine = format & DT_SINGLELINE;
    std::vector<std::wstring> lines = Lines(*font, source, width, singleLine, format & DT_WORDBREAK);
    if (format & DT_END_ELLIPSIS) {
        for (std::wstring& line : lines)
            line = WithEllipsis(*font, line, width);
    }
    int lineHeight = font->Height();
    int height = lineHeight * static_cast<int>(lines.size());
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const std::wstring& line : lines)
            widest = std::max(widest, TextWidth(*font, line));
        if (!(format & DT_WORDBREAK) || lines.size() == 1)
            rect->right = rect->left + widest;
        rect->bottom = rect->top + height;
        return height;
    }
    int top = rect->top;
    if (singleLine && (format & DT_VCENTER))
        top = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
    else if (singleLine && (format & DT_BOTTOM))
        top = rect->bottom - lineHeight;
    RectRegion clip = context->Clip();
    clip.Intersect(context->ToTarget(*rect));
    if (clip.IsEmpty())
        return height; // nothing of it would show: no line is rendered
    for (const std::wstring& line : lines) {
        int lineWidth = TextWidth(*font, line);
        int left = rect->left;
        if (format & DT_CENTER)
            left = rect->left + (width - lineWidth) / 2;
        else if (format & DT_RIGHT)
            left = rect->right - lineWidth;
        DrawLine(*context, left, top, line, clip);
        top += lineHeight;
    }
    return height;
}
