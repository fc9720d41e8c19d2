#pragma once
// What litehtml asks of the platform, answered with the platform's GDI and device files:
// fonts, text, backgrounds, borders, list markers, pictures, style sheets, clipping.
// Belongs to the thread of the page that made it.

#ifndef LITEHTML_UTF8
#define LITEHTML_UTF8
#endif
#include <litehtml.h>

#include "platform/gdi/GdiTypes.h"

#include <map>
#include <string>
#include <vector>

namespace platform::browser {

class PageContainer : public litehtml::document_container {
public:
    PageContainer(int width, bool picturesShown);
    ~PageContainer();
    PageContainer(const PageContainer&) = delete;
    PageContainer& operator=(const PageContainer&) = delete;

    const std::string& Title() const { return m_title; }
    // The page's own address, against which its links, sheets and pictures resolve.
    void SetPageAddress(const std::wstring& address) { m_address = address; }

    litehtml::uint_ptr create_font(const char* faceName, int size, int weight, litehtml::font_style italic,
                                   unsigned int decoration, litehtml::font_metrics* metrics) override;
    void delete_font(litehtml::uint_ptr font) override;
    int text_width(const char* text, litehtml::uint_ptr font) override;
    void draw_text(litehtml::uint_ptr hdc, const char* text, litehtml::uint_ptr font, litehtml::web_color color,
                   const litehtml::position& pos) override;
    int pt_to_px(int pt) const override { return pt * 4 / 3; }
    int get_default_font_size() const override { return 18; }
    const char* get_default_font_name() const override { return "WenQuanYi Micro Hei"; }
    void draw_list_marker(litehtml::uint_ptr hdc, const litehtml::list_marker& marker) override;
    void load_image(const char* src, const char* baseurl, bool redrawOnReady) override;
    void get_image_size(const char* src, const char* baseurl, litehtml::size& size) override;
    void draw_background(litehtml::uint_ptr hdc, const litehtml::background_paint& background) override;
    void draw_borders(litehtml::uint_ptr hdc, const litehtml::borders& borders, const litehtml::position& box,
                      bool root) override;
    void set_caption(const char* caption) override { m_title = caption ? caption : ""; }
    void set_base_url(const char*) override {}
    void link(const std::shared_ptr<litehtml::document>&, const litehtml::element::ptr&) override {}
    void on_anchor_click(const char*, const litehtml::element::ptr&) override {}
    void set_cursor(const char*) override {}
    void transform_text(litehtml::tstring& text, litehtml::text_transform transform) override;
    void import_css(litehtml::tstring& text, const litehtml::tstring& url, litehtml::tstring& baseurl) override;
    void set_clip(const litehtml::position& box, const litehtml::border_radiuses& radius, bool validX,
                  bool validY) override;
    void del_clip() override;
    void get_client_rect(litehtml::position& client) const override;
    // Scripts are kept as elements of ours, which hold their text and attributes for the
    // page's script host; every other element is litehtml's own.
    std::shared_ptr<litehtml::element> create_element(const char* tag, const litehtml::string_map& attributes,
                                                      const std::shared_ptr<litehtml::document>& document) override;
    void get_media_features(litehtml::media_features& media) const override;
    void get_language(litehtml::tstring& language, litehtml::tstring& culture) const override;

    // The width of a picture of the page as loaded; 0 when it cannot be (or pictures are off).
    int NaturalWidth(const char* src) {
        const Picture* picture = PictureOf(src, nullptr);
        return picture ? picture->width : 0;
    }
    // The device path of a script's or sheet's address; empty for a web address.
    std::wstring DevicePathOf(const char* src) const { return DevicePathOf(src, nullptr); }

    // The clip the page is painted under (view co-ordinates): set_clip narrows it.
    void BeginPaint(HDC dc, const RECT& clip);
    void EndPaint();

private:
    struct Picture {
        HBITMAP bitmap = nullptr;
        HDC dc = nullptr;
        HGDIOBJ previous = nullptr;
        int width = 0, height = 0;
    };

    // The device path of an address of the page (a sheet, a picture); empty for a web address.
    std::wstring DevicePathOf(const char* src, const char* baseurl) const;
    const Picture* PictureOf(const char* src, const char* baseurl);
    void ApplyClip(HDC dc) const;

    int m_width;
    bool m_picturesShown;
    std::wstring m_address;
    std::string m_title;
    HDC m_measure = nullptr; // a DC for measuring text
    std::map<std::wstring, Picture> m_pictures;
    HDC m_paintDC = nullptr;
    std::vector<RECT> m_clips; // the paint clip first, then each set_clip
};

} // namespace platform::browser
