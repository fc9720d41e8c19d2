// The browser's page view against litehtml's own work: a 50 KB converted page loaded,
// laid out and painted once, against litehtml creating and laying out the same page
// with a container that measures text without drawing it (the same style sheets).

#include "platform/browser/BrowserView.h"
#include "platform/browser/MasterStyle.h"
#include "platform/browser/PageView.h"
#include "platform/display/PaintApi.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/window/WindowApi.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#ifndef LITEHTML_UTF8
#define LITEHTML_UTF8
#endif
#include <litehtml.h>

namespace {

// The first provider's search page with its result rows repeated up to 50 KB.
std::string FiftyKilobytePage() {
    std::ifstream in(std::filesystem::path(QUILLORA_EXPECTED_PAGES) / "youku" / "video-search.expected.html",
                     std::ios::binary);
    std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Only the result rows are repeated, so the page stays as flat as a real long result list.
    std::size_t first = page.find("<li class=\"v\""), list_end = page.find("</ul>", first);
    std::size_t last = page.rfind("</li>", list_end);
    if (first == std::string::npos || list_end == std::string::npos || last == std::string::npos)
        return page;
    std::string rows = page.substr(first, last + 5 - first), body;
    while (body.size() + page.size() < 50 * 1024)
        body += rows;
    return page.substr(0, first) + body + page.substr(first);
}

void PageToFirstPaint(benchmark::State& state) {
    static const std::string page = FiftyKilobytePage();
    HDC screen = GetDC(nullptr);
    for (auto _ : state) {
        platform::browser::PageView view(480);
        view.LoadBytes(page, L"\\Quillora\\temp\\bench.html");
        view.Paint(screen, RECT{0, 0, 480, 720}, 0);
    }
    ReleaseDC(nullptr, screen);
    state.counters["bytes"] = static_cast<double>(page.size());
}
BENCHMARK(PageToFirstPaint)->Unit(benchmark::kMillisecond);

// litehtml alone, with the same master style and page sheet: text measured as 12 pixels
// a byte, nothing drawn, no picture read.
class MeasuringContainer : public litehtml::document_container {
public:
    litehtml::uint_ptr create_font(const char*, int size, int, litehtml::font_style, unsigned int,
                                   litehtml::font_metrics* metrics) override {
        if (metrics) {
            metrics->ascent = size;
            metrics->descent = size / 4;
            metrics->height = size + size / 4;
            metrics->x_height = size / 2;
        }
        return 1;
    }
    void delete_font(litehtml::uint_ptr) override {}
    int text_width(const char* text, litehtml::uint_ptr) override { return 12 * static_cast<int>(std::strlen(text)); }
    void draw_text(litehtml::uint_ptr, const char*, litehtml::uint_ptr, litehtml::web_color,
                   const litehtml::position&) override {}
    int pt_to_px(int pt) const override { return pt * 4 / 3; }
    int get_default_font_size() const override { return 18; }
    const char* get_default_font_name() const override { return "sans"; }
    void draw_list_marker(litehtml::uint_ptr, const litehtml::list_marker&) override {}
    void load_image(const char*, const char*, bool) override {}
    void get_image_size(const char*, const char*, litehtml::size& size) override { size.width = size.height = 0; }
    void draw_background(litehtml::uint_ptr, const litehtml::background_paint&) override {}
    void draw_borders(litehtml::uint_ptr, const litehtml::borders&, const litehtml::position&, bool) override {}
    void set_caption(const char*) override {}
    void set_base_url(const char*) override {}
    void link(const std::shared_ptr<litehtml::document>&, const litehtml::element::ptr&) override {}
    void on_anchor_click(const char*, const litehtml::element::ptr&) override {}
    void set_cursor(const char*) override {}
    void transform_text(litehtml::tstring&, litehtml::text_transform) override {}
    // The page's own sheet, as the page view reads it: the same style work on both sides.
    void import_css(litehtml::tstring& text, const litehtml::tstring&, litehtml::tstring&) override {
        std::ifstream in(std::filesystem::path(QUILLORA_DEVICE_DATA) / "youku.css", std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void set_clip(const litehtml::position&, const litehtml::border_radiuses&, bool, bool) override {}
    void del_clip() override {}
    void get_client_rect(litehtml::position& client) const override {
        client.x = client.y = 0;
        client.width = 480;
        client.height = 720;
    }
    std::shared_ptr<litehtml::element> create_element(const char*, const litehtml::string_map&,
                                                      const std::shared_ptr<litehtml::document>&) override {
        return nullptr;
    }
    void get_media_features(litehtml::media_features&) const override {}
    void get_language(litehtml::tstring&, litehtml::tstring&) const override {}
};

void LitehtmlCreateAndLayout(benchmark::State& state) {
    static const std::string page = FiftyKilobytePage();
    MeasuringContainer container;
    litehtml::context context;
    context.load_master_stylesheet(platform::browser::MasterStyle);
    for (auto _ : state) {
        auto document = litehtml::document::createFromUTF8(page.c_str(), &container, &context);
        document->render(480);
        benchmark::DoNotOptimize(document->height());
    }
}
BENCHMARK(LitehtmlCreateAndLayout)->Unit(benchmark::kMillisecond);

// A view over a long page for scrolling: the 50 KB page, shown from its top.
class ScrollingView : public platform::browser::BrowserView::Owner {
public:
    ScrollingView() : view(*this) {
        static const bool registered = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = &DefWindowProcW;
            windowClass.lpszClassName = L"BenchBrowserSite";
            return RegisterClassW(&windowClass) != 0;
        }();
        (void)registered;
        site = CreateWindowExW(0, L"BenchBrowserSite", L"", WS_POPUP | WS_VISIBLE, 0, 0, 480, 720, nullptr, nullptr,
                               nullptr, nullptr);
        view.Create(site, RECT{0, 0, 480, 720});
        view.SetAppearance(false, true);
        view.ShowPage(Page());
        UpdateWindow(view.Window());
    }
    ~ScrollingView() {
        view.Destroy();
        DestroyWindow(site);
    }
    void OnLinkTapped(const std::wstring&) override {}
    void OnHandOff() override {}
    void OnDeletionHandedOff() override {}

    HWND site = nullptr;
    platform::browser::BrowserView view;

private:
    static std::unique_ptr<platform::browser::PageView> Page() {
        auto page = std::make_unique<platform::browser::PageView>(480);
        page->LoadBytes(FiftyKilobytePage(), L"\\Quillora\\temp\\bench.html");
        return page;
    }
};

// One 20-pixel step of scrollBy, down the page and back up.
void ScrollByTwentyPixels(benchmark::State& state) {
    ScrollingView scrolling;
    int step = 20;
    for (auto _ : state) {
        scrolling.view.ScrollBy(step);
        int position = scrolling.view.ScrollPosition();
        step = position >= 4000 ? -20 : position <= 0 ? 20 : step;
    }
}
BENCHMARK(ScrollByTwentyPixels)->Unit(benchmark::kMicrosecond);

// The same view painted whole from the page, nothing kept: what a step would cost
// without moving the pixels.
void RepaintTheWholeView(benchmark::State& state) {
    ScrollingView scrolling;
    for (auto _ : state)
        scrolling.view.Repaint();
}
BENCHMARK(RepaintTheWholeView)->Unit(benchmark::kMicrosecond);

} // namespace
