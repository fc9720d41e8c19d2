#pragma once
// The page painted in bands as wide as the page and TileHeight pixels tall, kept for
// the next time they are seen: litehtml walks the whole document whatever it is asked
// to draw, so a scroll step copies the strip it uncovers from a band painted before and
// walks the document only once for every band it reaches. The fewest bands painted last
// are dropped first; all of them go when the page, or its layout, changes.

#include "platform/browser/OffscreenBitmap.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace platform::browser {

class PageView;

class PageTiles {
public:
    static constexpr int TileHeight = 360;
    static constexpr std::size_t MaximumTiles = 8;

    // Copies the part of `page` under `area` (view co-ordinates, the view's top at page
    // height `scrollY`) into `dc`, painting the bands it needs that are not kept.
    void Draw(PageView& page, HDC dc, const RECT& area, int scrollY);
    // Forgets every band: the page must be painted anew.
    void Clear() { m_tiles.clear(); }
    std::size_t Count() const { return m_tiles.size(); }

private:
    struct Tile {
        int index = 0;
        unsigned long long lastUse = 0;
        OffscreenBitmap bitmap;
    };

    Tile* Find(PageView& page, int index);
    Tile* Paint(PageView& page, int index);

    std::vector<std::unique_ptr<Tile>> m_tiles;
    unsigned long long m_clock = 0;
};

} // namespace platform::browser
