#pragma once
// One font at one pixel size: its FreeType faces (the chosen one and the CJK fallback)
// and the glyphs rendered so far. Safe to share between threads: every use locks it.

#include "platform/gdi/Surface.h"
#include "platform/gdi/TextApi.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace platform {

struct Glyph {
    CoverageMask mask;
    int left = 0; // from the pen position to the mask's left edge
    int top = 0;  // from the baseline up to the mask's top edge
    int advance = 0;
};

struct FontFace {
    // The glyphs kept are forgotten all at once when this many are rendered: a page of
    // Chinese text meets a few hundred characters, and a glyph of 30 pixels takes about
    // a kilobyte, so a font keeps at most about 4 MB.
    static constexpr std::size_t MaximumGlyphs = 4096;

    LOGFONTW logical{};
    int pixelSize = 16;
    int ascent = 0;
    int descent = 0;
    int averageWidth = 0;
    std::mutex lock;
    std::map<char32_t, Glyph> glyphs;
    struct Faces;
    std::shared_ptr<Faces> faces;

    // The glyph, rendered on first use. The lock must be held; the reference lasts until
    // the next call.
    const Glyph& GlyphFor(char32_t character);
    int Height() const { return ascent + descent; }
};

std::shared_ptr<FontFace> OpenFont(const LOGFONTW& logical);

// A line of text laid out: its width and its glyphs' pen positions.
int TextWidth(FontFace& font, std::wstring_view text);
// Renders the text onto a coverage mask the size of its box (width × line height).
CoverageMask RenderLine(FontFace& font, std::wstring_view text, bool underline);

} // namespace platform
