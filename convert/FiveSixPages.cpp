#include "convert/FiveSixPages.h"

#include "convert/ConverterPrimitives.h"
#include "convert/PageTemplates.h"
#include "convert/PagedListing.h"
#include "convert/ProviderHosts.h"
#include "platform/base/Decimal.h"
#include "platform/base/Utf8.h"
#include "platform/text/AnsiText.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <ctime>
#include <optional>

namespace {

enum Block { List, Title, Content, Side, BlockCount };

const TextPatch TargetToTag{"target=", "tag="};

// A quoted key with its colon, as the data service writes it: "key":
std::string QuotedKey(std::string_view key) {
    std::string quoted(1, '"');
    quoted.append(key);
    quoted.append("\":");
    return quoted;
}

// The value after the key found from `cursor`: from behind the key and the value's
// opening quote to the next quote. Moves the cursor to that quote.
std::optional<std::string> ValueOf(const std::string& text, std::string_view key, std::size_t& cursor) {
    std::string quoted = QuotedKey(key);
    std::size_t at = text.find(quoted, cursor);
    if (at == std::string::npos || at + quoted.size() + 1 > text.size())
        return std::nullopt;
    std::size_t start = at + quoted.size() + 1;
    std::size_t end = text.find('"', start);
    if (end == std::string::npos)
        return std::nullopt;
    cursor = end;
    return text.substr(start, end - start);
}

std::string CurrentPageEntry(std::size_t page) { return "<li class='active'><a>" + std::to_string(page) + "</a></li>"; }

std::string Card(const AlbumAddress& album, const AlbumRecord& record) {
    static const std::string member = platform::AnsiFromWide(L"会员：");
    static const std::string published = platform::AnsiFromWide(L"    发布：");
    std::string link = AddressOf(HostRole::FiveSixMain) + "/u" + album.server + "/v_" + record.videoId + ".html";
    return "<div class=\"pack pack_video_card\"><div class='pic'><a class='inner' href='" + link + "'><img src='" +
           record.cover + "'/></a></div><div class='txt'><div class='caption'><a href='" + link + "'>" + record.title +
           "</a></div> <div>" + member + record.author + published + AlbumDate(record.addTime) + "</div></div></div>";
}

} // namespace

bool ConvertFiveSixIndexSearch(NavigationRequest& request, const std::wstring& address) {
    return FetchForConversion(request, address) && BuildFiveSixIndexSearch(request);
}

bool ConvertFiveSixVideoList(NavigationRequest& request, const std::wstring& address) {
    return FetchForConversion(request, address) && BuildFiveSixVideoList(request);
}

bool BuildFiveSixIndexSearch(NavigationRequest& request) {
    static const std::string search = AddressOf(HostRole::FiveSixSearch);
    static const std::vector<Marker> markers = {
        {"div",
         "class",
         "search_list",
         List,
         &PlainBlock,
         {TargetToTag,
          {"href=\"?key=", "href=\"" + search + "/index?key="},
          {"href=\"?type=", "href=\"" + search + "/index?type="},
          {"href=\"mindex", "href=\"" + search + "/index"}},
         true},
    };
    Blocks blocks = WalkMarkers(request, markers, BlockCount);
    request.ReleaseDocument();
    return FinishLocalPage(request, FiveSixHead() + blocks[List], {});
}

bool BuildFiveSixVideoList(NavigationRequest& request) {
    static const std::vector<Marker> markers = {
        {"div", "class", "title", Title, &PlainBlock, {}},
        {"div", "class", "content", Content, &PlainBlock, {TargetToTag, {"<hr />", ""}}},
        {"div", "class", "sideNav", Side, &PlainBlock, {}, true},
    };
    Blocks blocks = WalkMarkers(request, markers, BlockCount);
    request.ReleaseDocument();
    return FinishLocalPage(request, FiveSixUtf8Head() + blocks[Side] + blocks[Title] + blocks[Content],
                           {{"href=\"./videolist", "href=\"" + AddressOf(HostRole::FiveSixSearch) + "/videolist"}});
}

AlbumAddress AlbumAddressOf(const std::wstring& albumUrl) {
    AlbumAddress album;
    std::wstring marker = platform::WideFromUtf8(HostOf(HostRole::FiveSixMain)) + L"/w";
    if (std::size_t at = albumUrl.find(marker); at != std::wstring::npos)
        album.server = platform::Utf8FromWide(albumUrl.substr(at + marker.size(), 2));
    constexpr std::wstring_view AlbumMarker = L"album-aid-";
    if (std::size_t at = albumUrl.find(AlbumMarker); at != std::wstring::npos) {
        std::size_t start = at + AlbumMarker.size();
        std::size_t end = albumUrl.find(L".html");
        if (end != std::wstring::npos && end >= start)
            album.albumId = platform::Utf8FromWide(albumUrl.substr(start, end - start));
    }
    album.data = platform::WideFromUtf8(
        AddressOf(HostRole::FiveSixMain) + "/w" + album.server +
        "/album_v2/album_videolist.phtml?callback=albumV2.callback&aid=" + album.albumId + "&o=0");
    return album;
}

std::string TrimAlbumData(const std::string& data) {
    if (data.size() < 11)
        return {};
    std::size_t lineFeed = data.find('\n');
    if (lineFeed == std::string::npos)
        return data.substr(11);
    // The byte before the line feed closes the wrapping call.
    return lineFeed > 12 ? data.substr(11, lineFeed - 1 - 11) : std::string();
}

std::vector<AlbumRecord> CutAlbumRecords(const std::string& trimmed) {
    std::vector<AlbumRecord> records;
    std::size_t cursor = 0;
    while (records.size() < MaximumListingItems) {
        auto id = ValueOf(trimmed, "video_id", cursor);
        auto title = id ? ValueOf(trimmed, "video_title", cursor) : std::nullopt;
        auto cover = title ? ValueOf(trimmed, "video_cover", cursor) : std::nullopt;
        auto author = cover ? ValueOf(trimmed, "video_author", cursor) : std::nullopt;
        auto added = author ? ValueOf(trimmed, "add_time", cursor) : std::nullopt;
        if (!added)
            return records;
        records.push_back({*id, *title, *cover, *author, *added});
    }
    return records;
}

std::string AlbumDate(const std::string& addTime) {
    long long seconds = platform::LeadingDecimal<char>(addTime);
    std::tm local{};
    int year = 0, month = 0, day = 0;
    auto time = static_cast<std::time_t>(seconds);
    // Only years that four digits can show are written; others are unconvertible times.
    if (seconds >= 0 && static_cast<long long>(time) == seconds && ::localtime_r(&time, &local) &&
        local.tm_year <= 9999 - 1900) {
        year = local.tm_year + 1900;
        month = local.tm_mon + 1;
        day = local.tm_mday;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%04i-%02i-%02i", year, month, day);
    return text;
}

bool ConvertFiveSixAlbum(NavigationRequest& request, const std::wstring& address) {
    AlbumAddress album = AlbumAddressOf(address);
    if (!request.Fetch(album.data, NavigationRequest::FetchMode::DownloadOnly))
        return FailConversion(request);
    return BuildFiveSixAlbum(request, album);
}

bool BuildFiveSixAlbum(NavigationRequest& request, const AlbumAddress& album) {
    std::vector<std::string> cards;
    for (const AlbumRecord& record : CutAlbumRecords(TrimAlbumData(request.PageText())))
        cards.push_back(Card(album, record));
    return WritePagedListing(request, FiveSixHead(), "<div class='lstTitle'></div>", cards, &CurrentPageEntry);
}
