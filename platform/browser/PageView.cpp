#include "platform/browser/PageView.h"

#include "platform/base/Utf8.h"
#include "platform/browser/MasterStyle.h"
#include "platform/browser/PageContainer.h"
#include "platform/browser/ScriptHost.h"
#include "platform/fs/WholeFile.h"
#include "platform/gdi/GdiApi.h"
#include "platform/text/GbkCodec.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <vector>

namespace platform::browser {
namespace {

// The page's charset as its <meta> names it, looked for near the start: GBK unless the
// page says UTF-8 (the local pages are written in the program's code page).
bool DeclaresUtf8(const std::string& bytes) {
    std::string head = bytes.substr(0, 2048);
    std::transform(head.begin(), head.end(), head.begin(), [](unsigned char c) { return std::tolower(c); });
    std::size_t charset = head.find("charset=");
    if (charset == std::string::npos)
        return bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    std::size_t at = head.find_first_not_of("\"' ", charset + 8);
    return at != std::string::npos && head.compare(at, 5, "utf-8") == 0;
}

std::string AsUtf8(const std::string& bytes) {
    if (DeclaresUtf8(bytes))
        return bytes;
    bool invalid = false;
    auto wide = GbkCodec::System().ToWide(bytes, L'\xFFFD', invalid);
    return wide ? Utf8FromWide(*wide) : bytes;
}

const litehtml::context& MasterContext() {
    static litehtml::context& context = []() -> litehtml::context& {
        auto* made = new litehtml::context;
        made->load_master_stylesheet(MasterStyle);
        return *made;
    }();
    return context;
}

} // namespace

class PageView::Container {
public:
    Container(int width, bool pictures) : container(width, pictures) {}
    PageContainer container;
    litehtml::document::ptr document;
    std::unique_ptr<ScriptHost> scripts;
};

namespace {} // namespace

PageView::PageView(int width) : m_width(width) {}
PageView::~PageView() = default;

bool PageView::Load(const std::wstring& devicePath) {
    std::optional<std::string> bytes = ReadFileContents(devicePath);
    if (!bytes) {
        m_container.reset();
        m_address.clear();
        return false;
    }
    LoadBytes(*bytes, devicePath);
    return true;
}

void PageView::LoadBytes(const std::string& bytes, const std::wstring& devicePath, bool scripts) {
    m_address = devicePath;
    m_container = std::make_unique<Container>(m_width, m_picturesShown);
    m_container->container.SetPageAddress(devicePath);
    std::string text = AsUtf8(bytes);
    // The context is only read once made; litehtml keeps a pointer to it.
    auto* context = const_cast<litehtml::context*>(&MasterContext());
    m_container->document = litehtml::document::createFromUTF8(text.c_str(), &m_container->container, context);
    if (!m_container->document)
        return;
    litehtml::document::ptr document = m_container->document;
    document->render(m_width);
    if (!scripts)
        return;
    PageContainer& container = m_container->container;
    int width = m_width;
    m_container->scripts = std::make_unique<ScriptHost>(
        document, [document, width] { document->render(width); },
        [&container](const litehtml::element::ptr& picture) {
            const char* src = picture->get_attr("src");
            return src ? container.NaturalWidth(src) : 0;
        },
        [&container](const std::string& src) {
            std::wstring path = container.DevicePathOf(src.c_str());
            return path.empty() ? std::string() : AsUtf8(ReadFileContents(path).value_or(std::string()));
        });
    m_container->scripts->RunPage();
}

bool PageView::ClickAt(int x, int y) {
    if (!IsLoaded() || !m_container->scripts)
        return false;
    litehtml::element::ptr element = m_container->document->root()->get_element_by_point(x, y, x, y);
    return element && m_container->scripts->Click(element);
}

bool PageView::IsLoaded() const { return m_container && m_container->document; }

std::wstring PageView::Title() const { return m_container ? WideFromUtf8(m_container->container.Title()) : L""; }

int PageView::ContentHeight() const { return IsLoaded() ? m_container->document->height() : 0; }

void PageView::Paint(HDC dc, const RECT& clip, int scrollY) {
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &clip, white);
    DeleteObject(white);
    if (!IsLoaded())
        return;
    m_container->container.BeginPaint(dc, clip);
    // litehtml draws page co-ordinates moved by (x, y); the view shows the page from scrollY.
    litehtml::position shown(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top);
    m_container->document->draw(reinterpret_cast<litehtml::uint_ptr>(dc), 0, -scrollY, &shown);
    m_container->container.EndPaint();
}

std::wstring PageView::LinkAt(int x, int y) const {
    if (!IsLoaded())
        return {};
    litehtml::element::ptr element = m_container->document->root()->get_element_by_point(x, y, x, y);
    for (; element; element = element->parent()) {
        const char* tag = element->get_tagName();
        if (tag && std::string(tag) == "a") {
            const char* href = element->get_attr("href");
            return href ? WideFromUtf8(href) : L"";
        }
    }
    return {};
}

namespace {

// An inline element has no box of its own in litehtml: its place is the union of the
// places of what it holds.
litehtml::position PlacementOf(const litehtml::element::ptr& element) {
    litehtml::position place = element->get_placement();
    if (place.width > 0 && place.height > 0)
        return place;
    litehtml::position whole;
    for (std::size_t i = 0; i < element->get_children_count(); ++i) {
        litehtml::position part = PlacementOf(element->get_child(static_cast<int>(i)));
        if (part.width <= 0 || part.height <= 0)
            continue;
        if (whole.width <= 0) {
            whole = part;
            continue;
        }
        int right = std::max(whole.right(), part.right()), bottom = std::max(whole.bottom(), part.bottom());
        whole.x = std::min(whole.x, part.x);
        whole.y = std::min(whole.y, part.y);
        whole.width = right - whole.x;
        whole.height = bottom - whole.y;
    }
    return whole;
}

} // namespace

std::vector<PageView::LinkPlace> PageView::Links() const {
    std::vector<LinkPlace> links;
    if (!IsLoaded())
        return links;
    for (const litehtml::element::ptr& element : m_container->document->root()->select_all("a")) {
        const char* href = element->get_attr("href");
        litehtml::position place = PlacementOf(element);
        if (!href || place.width <= 0 || place.height <= 0)
            continue;
        std::string text;
        element->get_text(text);
        links.push_back({WideFromUtf8(href), WideFromUtf8(text),
                         RECT{place.x, place.y, place.x + place.width, place.y + place.height}});
    }
    return links;
}

std::optional<std::size_t> FirstPartEnd(const std::string& bytes, std::size_t atLeast) {
    struct Kind {
        const char* opening;
        const char* closing;
    };
    static const Kind kinds[] = {{"<script", "</script>"}, {"<style", "</style>"}, {"<!--", "-->"}};
    // The first script, style or comment from `from` on, and where it ends.
    auto nextSpan = [&](std::size_t from) -> std::pair<std::size_t, std::size_t> {
        std::size_t first = std::string::npos;
        const Kind* kind = nullptr;
        for (const Kind& candidate : kinds) {
            std::size_t open = bytes.find(candidate.opening, from);
            if (open < first)
                first = open, kind = &candidate;
        }
        if (!kind)
            return {std::string::npos, std::string::npos};
        std::size_t close = bytes.find(kind->closing, first);
        return {first, close == std::string::npos ? close : close + std::strlen(kind->closing)};
    };
    std::size_t at = 0;
    for (;;) {
        auto [open, close] = nextSpan(at);
        std::size_t from = std::max(at, atLeast);
        std::size_t li = bytes.find("</li>", from), div = bytes.find("</div>", from);
        std::size_t end = std::min(li == std::string::npos ? li : li + 5, div == std::string::npos ? div : div + 6);
        if (end == std::string::npos || end >= bytes.size())
            return std::nullopt;
        if (open == std::string::npos || open >= end)
            return end;
        if (close == std::string::npos)
            return std::nullopt; // never closed: no place after it is safe
        at = close;
    }
}

std::wstring ResolveLink(const std::wstring& pageAddress, const std::wstring& href) {
    if (href.empty() || href[0] == L'#')
        return pageAddress;
    std::size_t colon = href.find(L':');
    std::size_t slash = href.find_first_of(L"/\\");
    if (colon != std::wstring::npos && colon > 1 && (slash == std::wstring::npos || colon < slash))
        return href; // an address with a scheme
    std::wstring path = href.substr(0, href.find(L'#'));
    std::replace(path.begin(), path.end(), L'/', L'\\');
    std::wstring joined;
    if (path[0] == L'\\') {
        joined = path;
    } else {
        std::size_t last = pageAddress.find_last_of(L'\\');
        joined = (last == std::wstring::npos ? std::wstring(L"\\") : pageAddress.substr(0, last + 1)) + path;
    }
    // "." and ".." taken out; ".." never climbs above the root.
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find(L'\\', start);
        if (end == std::wstring::npos)
            end = joined.size();
        std::wstring part = joined.substr(start, end - start);
        if (part == L"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::wstring out;
    for (const std::wstring& part : parts)
        out += L"\\" + part;
    return out.empty() ? L"\\" : out;
}

} // namespace platform::browser
