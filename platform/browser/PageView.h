#pragma once
// One local page laid out and painted by litehtml over the platform's GDI: the page's
// bytes in its own charset (from its <meta>, GBK or UTF-8), its style sheets from <link>
// resolved against the page, its pictures from device files (unless pictures are off).
// The page is as wide as the view; its height is what the layout makes of it.
//
// Belongs to one thread (the browser control's); nothing here is locked.

#include "platform/gdi/GdiTypes.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::browser {

class PageView {
public:
    explicit PageView(int width);
    ~PageView();
    PageView(const PageView&) = delete;
    PageView& operator=(const PageView&) = delete;

    // The page at a device path ("\Quillora\temp\x.html"); false, with nothing loaded,
    // when the file cannot be read.
    bool Load(const std::wstring& devicePath);
    // A page given as bytes; relative addresses in it resolve against `devicePath`.
    // Without scripts, none of the page's scripts runs (a page's first part, shown
    // while the whole is laid out).
    void LoadBytes(const std::string& bytes, const std::wstring& devicePath, bool scripts = true);
    void SetPicturesShown(bool shown) { m_picturesShown = shown; }
    bool IsLoaded() const;

    std::wstring Title() const;
    const std::wstring& Address() const { return m_address; }
    int ContentHeight() const;
    int Width() const { return m_width; }

    // Paints the part of the page under `clip` (view co-ordinates) into `dc`, the view's
    // top at page height `scrollY`; what the page leaves uncovered is white.
    void Paint(HDC dc, const RECT& clip, int scrollY);
    // The link (its href as written) under a point of the page; empty when none.
    std::wstring LinkAt(int x, int y) const;
    struct LinkPlace {
        std::wstring href; // as the page writes it
        std::wstring text;
        RECT area; // page co-ordinates
    };
    // The page's links that take room on it, in document order.
    std::vector<LinkPlace> Links() const;
    // Runs the onclick of the element under a point of the page (or of the nearest one
    // above it); false when none has one. The page may have changed: paint it again.
    bool ClickAt(int x, int y);

private:
    class Container;

    int m_width;
    bool m_picturesShown = true;
    std::wstring m_address;
    std::unique_ptr<Container> m_container;
};

// Where a long page may be cut to show its first part alone: just after the first
// "</li>" or "</div>" at or past `atLeast` bytes that stands outside any script, style
// or comment. Nothing when the page is not that long or has no such place. ("<" is
// never the second byte of a GBK character, so the cut never splits one.)
std::optional<std::size_t> FirstPartEnd(const std::string& bytes, std::size_t atLeast);

// Where a link of a page at `pageAddress` (a device path) leads: an address with a
// scheme ("http://...") as it is; a root-relative one ("/a/b.html") a device path from
// the root ("\a\b.html"); any other a device path beside the page ("x_2.html" of
// "\Quillora\temp\x.html" is "\Quillora\temp\x_2.html"), with "." and ".." taken out.
// A fragment alone ("#top") stays the page's own address.
std::wstring ResolveLink(const std::wstring& pageAddress, const std::wstring& href);

} // namespace platform::browser
