#include "platform/browser/PageTiles.h"

#include "platform/browser/PageView.h"
#include "platform/gdi/GdiApi.h"

#include <algorithm>

namespace platform::browser {

void PageTiles::Draw(PageView& page, HDC dc, const RECT& area, int scrollY) {
    if (area.bottom <= area.top || area.right <= area.left)
        return;
    long long top = static_cast<long long>(scrollY) + area.top;
    long long bottom = static_cast<long long>(scrollY) + area.bottom;
    for (long long band = std::max(0LL, top / TileHeight); band * TileHeight < bottom; ++band) {
        long long bandTop = band * TileHeight;
        long long from = std::max(top, bandTop), to = std::min(bottom, bandTop + TileHeight);
        int viewTop = static_cast<int>(from - scrollY), rows = static_cast<int>(to - from);
        Tile* tile = Find(page, static_cast<int>(band));
        if (!tile) {
            // No band to keep: the strip is painted straight from the page.
            RECT strip{area.left, viewTop, area.right, viewTop + rows};
            page.Paint(dc, strip, scrollY);
            continue;
        }
        BitBlt(dc, area.left, viewTop, area.right - area.left, rows, tile->bitmap.Dc(), area.left,
               static_cast<int>(from - bandTop), SRCCOPY);
    }
}

PageTiles::Tile* PageTiles::Find(PageView& page, int index) {
    for (auto& tile : m_tiles) {
        if (tile->index == index) {
            tile->lastUse = ++m_clock;
            return tile.get();
        }
    }
    return Paint(page, index);
}

PageTiles::Tile* PageTiles::Paint(PageView& page, int index) {
    std::unique_ptr<Tile> tile;
    if (m_tiles.size() >= MaximumTiles) {
        auto oldest = std::min_element(m_tiles.begin(), m_tiles.end(),
                                       [](const auto& a, const auto& b) { return a->lastUse < b->lastUse; });
        tile = std::move(*oldest);
        m_tiles.erase(oldest);
    } else {
        tile = std::make_unique<Tile>();
    }
    if (tile->bitmap.Width() != page.Width() && !tile->bitmap.Create(page.Width(), TileHeight))
        return nullptr;
    tile->index = index;
    tile->lastUse = ++m_clock;
    RECT whole{0, 0, page.Width(), TileHeight};
    page.Paint(tile->bitmap.Dc(), whole, index * TileHeight);
    m_tiles.push_back(std::move(tile));
    return m_tiles.back().get();
}

} // namespace platform::browser
