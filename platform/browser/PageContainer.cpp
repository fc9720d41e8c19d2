#include "platform/browser/PageContainer.h"

#include "platform/base/Utf8.h"
#include "platform/browser/PageView.h"
#include "platform/display/PaintApi.h"
#include "platform/fs/WholeFile.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"

#include <stb/stb_image.h>

#include <algorithm>
#include <cwctype>

namespace platform::browser {
namespace {

COLORREF ColourOf(const litehtml::web_color& colour) { return RGB(colour.red, colour.green, colour.blue); }

RECT RectOf(const litehtml::position& box) { return RECT{box.x, box.y, box.x + box.width, box.y + box.height}; }

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

} // namespace

PageContainer::PageContainer(int width, bool picturesShown) : m_width(width), m_picturesShown(picturesShown) {
    HDC screen = ::GetDC(nullptr);
    m_measure = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
}

PageContainer::~PageContainer() {
    for (auto& [path, picture] : m_pictures) {
        if (picture.dc) {
            SelectObject(picture.dc, picture.previous);
            DeleteDC(picture.dc);
        }
        if (picture.bitmap)
            DeleteObject(picture.bitmap);
    }
    if (m_measure)
        DeleteDC(m_measure);
}

litehtml::uint_ptr PageContainer::create_font(const char* faceName, int size, int weight, litehtml::font_style italic,
                                              unsigned int decoration, litehtml::font_metrics* metrics) {
    LOGFONTW logical{};
    logical.lfHeight = -size;
    logical.lfWeight = weight;
    logical.lfItalic = italic == litehtml::fontStyleItalic;
    logical.lfUnderline = (decoration & litehtml::font_decoration_underline) != 0;
    logical.lfStrikeOut = (decoration & litehtml::font_decoration_linethrough) != 0;
    logical.lfCharSet = 1;
    logical.lfQuality = 5;
    // The first family of the list, without quotes: the font system finds the nearest.
    std::string family = faceName ? faceName : "";
    family = family.substr(0, family.find(','));
    family.erase(std::remove(family.begin(), family.end(), '"'), family.end());
    family.erase(std::remove(family.begin(), family.end(), '\''), family.end());
    std::wstring face = WideFromUtf8(family);
    face = face.substr(face.find_first_not_of(L' ') == std::wstring::npos ? 0 : face.find_first_not_of(L' '));
    wcsncpy(logical.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&logical);
    if (metrics && font) {
        HGDIOBJ previous = SelectObject(m_measure, font);
        TEXTMETRICW text{};
        GetTextMetricsW(m_measure, &text);
        SelectObject(m_measure, previous);
        metrics->ascent = text.tmAscent;
        metrics->descent = text.tmDescent;
        metrics->height = text.tmHeight;
        metrics->x_height = text.tmAscent / 2;
        metrics->draw_spaces = logical.lfUnderline || logical.lfStrikeOut;
    }
    return reinterpret_cast<litehtml::uint_ptr>(font);
}

void PageContainer::delete_font(litehtml::uint_ptr font) { DeleteObject(reinterpret_cast<HFONT>(font)); }

int PageContainer::text_width(const char* text, litehtml::uint_ptr font) {
    std::wstring wide = WideFromUtf8(text ? text : "");
    HGDIOBJ previous = SelectObject(m_measure, reinterpret_cast<HFONT>(font));
    SIZE size{};
    GetTextExtentExPointW(m_measure, wide.c_str(), static_cast<int>(wide.size()), 0, nullptr, nullptr, &size);
    SelectObject(m_measure, previous);
    return static_cast<int>(size.cx);
}

void PageContainer::draw_text(litehtml::uint_ptr hdc, const char* text, litehtml::uint_ptr font,
                              litehtml::web_color colour, const litehtml::position& pos) {
    auto dc = reinterpret_cast<HDC>(hdc);
    std::wstring wide = WideFromUtf8(text ? text : "");
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColourOf(colour));
    ExtTextOutW(dc, pos.x, pos.y, 0, nullptr, wide.c_str(), static_cast<UINT>(wide.size()), nullptr);
    SelectObject(dc, previous);
}

void PageContainer::draw_list_marker(litehtml::uint_ptr hdc, const litehtml::list_marker& marker) {
    auto dc = reinterpret_cast<HDC>(hdc);
    // A small square, a third of the line's height, in the middle of the marker's box.
    int side = std::max(4, marker.pos.height / 3);
    int x = marker.pos.x + (marker.pos.width - side) / 2, y = marker.pos.y + (marker.pos.height - side) / 2;
    if (marker.marker_type == litehtml::list_style_type_none)
        return;
    Fill(dc, RECT{x, y, x + side, y + side}, ColourOf(marker.color));
}

std::wstring PageContainer::DevicePathOf(const char* src, const char* baseurl) const {
    std::wstring base = baseurl && *baseurl ? WideFromUtf8(baseurl) : m_address;
    std::wstring resolved = ResolveLink(base, WideFromUtf8(src ? src : ""));
    return !resolved.empty() && resolved[0] == L'\\' ? resolved : std::wstring();
}

const PageContainer::Picture* PageContainer::PictureOf(const char* src, const char* baseurl) {
    if (!m_picturesShown)
        return nullptr;
    std::wstring path = DevicePathOf(src, baseurl);
    if (path.empty())
        return nullptr; // pictures on the web are not fetched
    auto found = m_pictures.find(path);
    if (found != m_pictures.end())
        return found->second.bitmap ? &found->second : nullptr;
    Picture& picture = m_pictures[path];
    std::string bytes = ReadFileContents(path).value_or(std::string());
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = bytes.empty()
                          ? nullptr
                          : stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                                  static_cast<int>(bytes.size()), &width, &height, &channels, 4);
    if (!pixels)
        return nullptr;
    // Premultiplied 0xAARRGGBB, as AlphaBlend takes it.
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < argb.size(); ++i) {
        std::uint32_t r = pixels[4 * i], g = pixels[4 * i + 1], b = pixels[4 * i + 2], a = pixels[4 * i + 3];
        argb[i] = a << 24 | (r * a / 255) << 16 | (g * a / 255) << 8 | (b * a / 255);
    }
    stbi_image_free(pixels);
    picture.bitmap = CreateBitmap(width, height, 1, 32, argb.data());
    picture.dc = CreateCompatibleDC(m_measure);
    picture.previous = SelectObject(picture.dc, picture.bitmap);
    picture.width = width;
    picture.height = height;
    return &picture;
}

void PageContainer::load_image(const char* src, const char* baseurl, bool) { PictureOf(src, baseurl); }

void PageContainer::get_image_size(const char* src, const char* baseurl, litehtml::size& size) {
    const Picture* picture = PictureOf(src, baseurl);
    size.width = picture ? picture->width : 0;
    size.height = picture ? picture->height : 0;
}

void PageContainer::draw_background(litehtml::uint_ptr hdc, const litehtml::background_paint& background) {
    auto dc = reinterpret_cast<HDC>(hdc);
    if (background.color.alpha > 0)
        Fill(dc, RectOf(background.clip_box), ColourOf(background.color));
    if (background.image.empty())
        return;
    const Picture* picture = PictureOf(background.image.c_str(), background.baseurl.c_str());
    if (!picture)
        return;
    RECT clip = RectOf(background.clip_box);
    int width = background.image_size.width > 0 ? background.image_size.width : picture->width;
    int height = background.image_size.height > 0 ? background.image_size.height : picture->height;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    RECT inside{};
    if (!m_clips.empty())
        IntersectRect(&inside, &m_clips.back(), &clip);
    else
        inside = clip;
    HRGN region = CreateRectRgnIndirect(&inside);
    SelectClipRgn(dc, region);
    DeleteObject(region);
    AlphaBlend(dc, background.position_x, background.position_y, width, height, picture->dc, 0, 0, picture->width,
               picture->height, blend);
    ApplyClip(dc);
}

void PageContainer::draw_borders(litehtml::uint_ptr hdc, const litehtml::borders& borders,
                                 const litehtml::position& box, bool) {
    auto dc = reinterpret_cast<HDC>(hdc);
    RECT outer = RectOf(box);
    auto shown = [](const litehtml::border& border) {
        return border.width > 0 && border.style != litehtml::border_style_none &&
               border.style != litehtml::border_style_hidden;
    };
    if (shown(borders.top))
        Fill(dc, RECT{outer.left, outer.top, outer.right, outer.top + borders.top.width}, ColourOf(borders.top.color));
    if (shown(borders.bottom))
        Fill(dc, RECT{outer.left, outer.bottom - borders.bottom.width, outer.right, outer.bottom},
             ColourOf(borders.bottom.color));
    if (shown(borders.left))
        Fill(dc, RECT{outer.left, outer.top, outer.left + borders.left.width, outer.bottom},
             ColourOf(borders.left.color));
    if (shown(borders.right))
        Fill(dc, RECT{outer.right - borders.right.width, outer.top, outer.right, outer.bottom},
             ColourOf(borders.right.color));
}

void PageContainer::transform_text(litehtml::tstring& text, litehtml::text_transform transform) {
    if (transform == litehtml::text_transform_uppercase)
        std::transform(text.begin(), text.end(), text.begin(), [](char c) { return std::toupper(c); });
    else if (transform == litehtml::text_transform_lowercase)
        std::transform(text.begin(), text.end(), text.begin(), [](char c) { return std::tolower(c); });
}

void PageContainer::import_css(litehtml::tstring& text, const litehtml::tstring& url, litehtml::tstring& baseurl) {
    std::wstring path = DevicePathOf(url.c_str(), baseurl.c_str());
    if (path.empty())
        return; // sheets on the web are not fetched
    text = ReadFileContents(path).value_or(std::string());
    baseurl = Utf8FromWide(path);
}

void PageContainer::BeginPaint(HDC dc, const RECT& clip) {
    m_paintDC = dc;
    m_clips.assign(1, clip);
    ApplyClip(dc);
}

void PageContainer::EndPaint() {
    if (m_paintDC)
        SelectClipRgn(m_paintDC, nullptr);
    m_paintDC = nullptr;
    m_clips.clear();
}

void PageContainer::ApplyClip(HDC dc) const {
    if (m_clips.empty())
        return;
    HRGN region = CreateRectRgnIndirect(&m_clips.back());
    SelectClipRgn(dc, region);
    DeleteObject(region);
}

void PageContainer::set_clip(const litehtml::position& box, const litehtml::border_radiuses&, bool, bool) {
    if (m_clips.empty())
        return;
    RECT narrower{};
    RECT wanted = RectOf(box);
    IntersectRect(&narrower, &m_clips.back(), &wanted);
    m_clips.push_back(narrower);
    if (m_paintDC)
        ApplyClip(m_paintDC);
}

void PageContainer::del_clip() {
    if (m_clips.size() > 1)
        m_clips.pop_back();
    if (m_paintDC)
        ApplyClip(m_paintDC);
}

void PageContainer::get_client_rect(litehtml::position& client) const {
    client.x = 0;
    client.y = 0;
    client.width = m_width;
    client.height = 720;
}

namespace {

class ScriptElement : public litehtml::element {
public:
    ScriptElement(const std::shared_ptr<litehtml::document>& document, const litehtml::string_map& attributes)
        : litehtml::element(document), m_attributes(attributes) {}
    bool appendChild(const ptr& child) override {
        litehtml::tstring text;
        child->get_text(text);
        m_text += text;
        return true;
    }
    const char* get_tagName() const override { return "script"; }
    const char* get_attr(const char* name, const char* fallback = nullptr) const override {
        auto found = m_attributes.find(name);
        return found == m_attributes.end() ? fallback : found->second.c_str();
    }
    void get_text(litehtml::tstring& text) override { text += m_text; }

private:
    litehtml::string_map m_attributes;
    litehtml::tstring m_text;
};

} // namespace

std::shared_ptr<litehtml::element> PageContainer::create_element(const char* tag,
                                                                 const litehtml::string_map& attributes,
                                                                 const std::shared_ptr<litehtml::document>& document) {
    if (tag && std::string(tag) == "script")
        return std::make_shared<ScriptElement>(document, attributes);
    return nullptr;
}

void PageContainer::get_media_features(litehtml::media_features& media) const {
    media.type = litehtml::media_type_screen;
    media.width = media.device_width = m_width;
    media.height = media.device_height = 720;
    media.color = 8;
    media.color_index = 0;
    media.monochrome = 0;
    media.resolution = 96;
}

void PageContainer::get_language(litehtml::tstring& language, litehtml::tstring& culture) const {
    language = "zh";
    culture = "CN";
}

} // namespace platform::browser
