#include "playback/Playlist.h"
#include "playback/Resolvers.h"

#include <vector>

namespace {

constexpr std::string_view Sentinel = "<div class=\"clear\"></div>";
constexpr std::string_view TitleMarker = "<N>";
constexpr std::string_view AddressMarker = "<U>";
constexpr std::string_view RequestMarker = "<R>";

std::size_t Count(const std::string& text, std::string_view marker) {
    std::size_t count = 0;
    for (std::size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + marker.size()))
        ++count;
    return count;
}

// The text from behind the marker at `at` to the next "<"; nothing when either is missing.
std::optional<std::string> ValueAfter(const std::string& text, std::size_t at, std::string_view marker,
                                      std::size_t& end) {
    if (at == std::string::npos)
        return std::nullopt;
    std::size_t start = at + marker.size();
    end = text.find('<', start);
    if (end == std::string::npos)
        return std::nullopt;
    return text.substr(start, end - start);
}

// The title/address pairs in their order, as far as they are complete.
std::vector<PlaylistPart> Entries(const std::string& answer, std::size_t count) {
    std::size_t request = answer.find(RequestMarker);
    std::size_t cursor = request == std::string::npos ? 0 : answer.find('<', request + RequestMarker.size());
    std::vector<PlaylistPart> entries;
    for (std::size_t i = 0; i < count && cursor != std::string::npos; ++i) {
        std::size_t titleEnd = 0, addressEnd = 0;
        auto title = ValueAfter(answer, answer.find(TitleMarker, cursor), TitleMarker, titleEnd);
        if (!title)
            break;
        auto address = ValueAfter(answer, answer.find(AddressMarker, titleEnd), AddressMarker, addressEnd);
        if (!address)
            break;
        entries.push_back({*title, *address});
        cursor = addressEnd;
    }
    return entries;
}

} // namespace

std::optional<std::string> HiddenInfValue(NavigationRequest& request) {
    std::optional<std::string> value;
    for (auto& node : request.Document()) {
        if (!node.isTag() || node.tagName() != "input")
            continue;
        node.parseAttributes();
        if (ParsedAttributeEquals(node, "type", "hidden") && ParsedAttributeEquals(node, "name", "inf")) {
            value = node.attribute("value").second;
            break;
        }
    }
    request.ReleaseDocument();
    return value;
}

bool FlvcdResolver(NavigationRequest& request, const std::wstring& query) {
    if (!request.Fetch(query, NavigationRequest::FetchMode::Parse)) {
        request.Ui().CloseWaitDialog();
        return false;
    }
    // The field's value ends where its last address must end: at the sentinel.
    std::optional<std::string> value = HiddenInfValue(request);
    request.Ui().CloseWaitDialog();
    std::string answer = value ? *value + std::string(Sentinel) : std::string();
    std::size_t count = Count(answer, AddressMarker);
    if (count == 0)
        return false;
    if (count == 1) {
        std::size_t end = 0;
        // As for parse server 2: what is no stream address is an answer without parts.
        return PlaySingleAddress(request,
                                 ValueAfter(answer, answer.find(AddressMarker), AddressMarker, end).value_or(""));
    }
    std::vector<PlaylistPart> entries = Entries(answer, count);
    if (entries.empty())
        return false;
    if (!WritePlaylistFile(PlaylistText(entries))) {
        request.Ui().MessageBox(request.Ui().OwnerWindow(), PlaylistNotCreated, L"错误", MessageBoxOk);
        return false;
    }
    return HandOffPlaylist(request);
}
