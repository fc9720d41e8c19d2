#include "platform/gdi/FontFace.h"

#include "platform/base/Utf8.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <optional>

namespace platform {
namespace {

// The FreeType library is shared; opening and closing faces is guarded by this lock.
struct Library {
    std::mutex lock;
    FT_Library library = nullptr;
    Library() {
        FT_Init_FreeType(&library);
        FcInit();
    }
};

Library& TheLibrary() {
    static Library library;
    return library;
}

struct FontFile {
    std::string path;
    int index = 0;
};

// The file fontconfig picks for a pattern; `needsChinese` insists on a face with Chinese.
std::optional<FontFile> Match(const std::string& family, bool bold, bool italic, bool needsChinese) {
    FcPattern* pattern = FcPatternCreate();
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    else
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    if (needsChinese)
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return std::nullopt;
    std::optional<FontFile> file;
    FcChar8* path = nullptr;
    int index = 0;
    FcCharSet* characters = nullptr;
    bool hasChinese =
        FcPatternGetCharSet(match, FC_CHARSET, 0, &characters) == FcResultMatch && FcCharSetHasChar(characters, 0x4E2D);
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && (!needsChinese || hasChinese)) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        file = FontFile{reinterpret_cast<const char*>(path), index};
    }
    FcPatternDestroy(match);
    return file;
}

FT_Face OpenFace(const FontFile& file, int pixelSize) {
    Library& library = TheLibrary();
    std::lock_guard guard(library.lock);
    FT_Face face = nullptr;
    if (FT_New_Face(library.library, file.path.c_str(), file.index, &face) != 0)
        return nullptr;
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
    return face;
}

} // namespace

struct FontFace::Faces {
    FT_Face chosen = nullptr;
    FT_Face chinese = nullptr;
    ~Faces() {
        Library& library = TheLibrary();
        std::lock_guard guard(library.lock);
        if (chinese && chinese != chosen)
            FT_Done_Face(chinese);
        if (chosen)
            FT_Done_Face(chosen);
    }
};

std::shared_ptr<FontFace> OpenFont(const LOGFONTW& logical) {
    auto font = std::make_shared<FontFace>();
    font->logical = logical;
    bool bold = logical.lfWeight >= 600;
    bool italic = logical.lfItalic != 0;
    std::wstring face(logical.lfFaceName, wcsnlen(logical.lfFaceName, LF_FACESIZE));
    auto chosen = Match(Utf8FromWide(face), bold, italic, false);
    auto chinese = Match("", bold, italic, true);
    if (!chinese)
        chinese = Match("WenQuanYi Micro Hei", bold, italic, false);
    if (!chosen)
        chosen = chinese;
    font->faces = std::make_shared<FontFace::Faces>();
    // A negative height is the character height in pixels; a positive one the cell height.
    int height = logical.lfHeight == 0 ? -16 : logical.lfHeight;
    font->pixelSize = std::max(1, height < 0 ? -height : height * 7 / 8);
    if (chosen)
        font->faces->chosen = OpenFace(*chosen, font->pixelSize);
    font->faces->chinese = chinese && chosen && chinese->path == chosen->path && chinese->index == chosen->index
                               ? font->faces->chosen
                               : (chinese ? OpenFace(*chinese, font->pixelSize) : nullptr);
    if (!font->faces->chosen)
        font->faces->chosen = font->faces->chinese;
    FT_Face main = font->faces->chosen;
    if (main) {
        font->ascent = static_cast<int>((main->size->metrics.ascender + 63) >> 6);
        font->descent = static_cast<int>((-main->size->metrics.descender + 63) >> 6);
    } else {
        font->ascent = font->pixelSize;
        font->descent = font->pixelSize / 4;
    }
    std::lock_guard guard(font->lock);
    font->averageWidth = font->GlyphFor(U'x').advance;
    return font;
}

const Glyph& FontFace::GlyphFor(char32_t character) {
    auto found = glyphs.find(character);
    if (found != glyphs.end())
        return found->second;
    Glyph glyph;
    FT_Face face = faces->chosen;
    if (face && FT_Get_Char_Index(face, character) == 0 && faces->chinese)
        face = faces->chinese;
    if (face && FT_Load_Char(face, character, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) == 0) {
        // A bold font whose face has no bold cut is made bold here, glyph by glyph.
        if (logical.lfWeight >= 600 && !(face->style_flags & FT_STYLE_FLAG_BOLD))
            FT_GlyphSlot_Embolden(face->glyph);
        if (logical.lfItalic && !(face->style_flags & FT_STYLE_FLAG_ITALIC))
            FT_GlyphSlot_Oblique(face->glyph);
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
        FT_Bitmap& bitmap = face->glyph->bitmap;
        glyph.mask.width = static_cast<int>(bitmap.width);
        glyph.mask.height = static_cast<int>(bitmap.rows);
        glyph.mask.coverage.resize(static_cast<std::size_t>(bitmap.width) * bitmap.rows);
        for (unsigned row = 0; row < bitmap.rows; ++row)
            std::memcpy(glyph.mask.coverage.data() + static_cast<std::size_t>(row) * bitmap.width,
                        bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch, bitmap.width);
        glyph.left = face->glyph->bitmap_left;
        glyph.top = face->glyph->bitmap_top;
        glyph.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    }
    if (glyphs.size() >= MaximumGlyphs)
        glyphs.clear();
    return glyphs.emplace(character, std::move(glyph)).first->second;
}

int TextWidth(FontFace& font, std::wstring_view text) {
    std::lock_guard guard(font.lock);
    int width = 0;
    for (wchar_t c : text)
        width += font.GlyphFor(static_cast<char32_t>(c)).advance;
    return width;
}

CoverageMask RenderLine(FontFace& font, std::wstring_view text, bool underline) {
    std::lock_guard guard(font.lock);
    CoverageMask line;
    for (wchar_t c : text)
        line.width += font.GlyphFor(static_cast<char32_t>(c)).advance;
    line.height = font.Height();
    line.coverage.assign(static_cast<std::size_t>(line.width) * line.height, 0);
    int pen = 0;
    for (wchar_t c : text) {
        const Glyph& glyph = font.GlyphFor(static_cast<char32_t>(c));
        // The columns of the glyph that fall inside the line, the same for every row.
        int first = std::max(0, -(pen + glyph.left)), last = std::min(glyph.mask.width, line.width - pen - glyph.left);
        for (int row = 0; row < glyph.mask.height; ++row) {
            int y = font.ascent - glyph.top + row;
            if (y < 0 || y >= line.height)
                continue;
            std::uint8_t* cells = line.coverage.data() + static_cast<std::size_t>(y) * line.width;
            const std::uint8_t* source = glyph.mask.coverage.data() + static_cast<std::size_t>(row) * glyph.mask.width;
            int start = pen + glyph.left;
            for (int column = first; column < last; ++column)
                cells[start + column] = std::max(cells[start + column], source[column]);
        }
        pen += glyph.advance;
    }
    if (underline && line.height > 0) {
        int y = std::min(font.ascent + 1, line.height - 1);
        std::fill_n(line.coverage.begin() + static_cast<std::ptrdiff_t>(y) * line.width, line.width, 255);
    }
    return line;
}

} // namespace platform
