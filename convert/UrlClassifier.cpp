#include "convert/UrlClassifier.h"

#include "convert/FiveSixPages.h"
#include "convert/ParseServerQuery.h"
#include "convert/ProviderHosts.h"
#include "convert/SixCnPages.h"
#include "convert/TudouPages.h"
#include "convert/YoukuPages.h"
#include "platform/base/Utf8.h"
#include "playback/PlayerLauncher.h"

#include <vector>

namespace {

enum class Action { Convert, ResolvePlayIndex, ResolveVideoPage, PlayDirectly };

struct Rule {
    std::vector<std::wstring> patterns; // any of them
    const wchar_t* tag;                 // null: the tag stays as it is
    const char* routine;
    Action action;
    PageConverter convert = nullptr;
};

std::wstring Host(HostRole role) { return platform::WideFromUtf8(HostOf(role)); }

// In order: the first rule with a pattern in the address decides.
const std::vector<Rule>& Rules() {
    static const std::vector<Rule> rules = {
        {{L"/search_video/"}, L"youku", "youku-search-video", Action::Convert, &ConvertYoukuVideoSearch},
        {{L"/search_playlist/"}, L"youku", "youku-search-playlist", Action::Convert, &ConvertYoukuPlaylistSearch},
        {{L"/playlist_show/"}, L"youku", "youku-playlist", Action::Convert, &ConvertYoukuPlaylist},
        {{L"/v_showlist/"}, L"youku", "youku-channel", Action::Convert, &ConvertYoukuChannel},
        {{L"/isearch/"}, L"tudou", "tudou-search-video", Action::Convert, &ConvertTudouVideoSearch},
        {{L"/psearch/"}, L"tudou", "tudou-search-playlist", Action::Convert, &ConvertTudouPlaylistSearch},
        {{Host(HostRole::TudouMain) + L"/top/"}, L"tudou", "tudou-top", Action::Convert, &ConvertTudouTop},
        {{L"/playlist/id/"}, L"tudou", "tudou-playlist", Action::Convert, &ConvertTudouPlaylist},
        {{L"/playlist/playindex"}, L"tudou", "parse-server play index", Action::ResolvePlayIndex},
        {{L".flv"}, nullptr, "player", Action::PlayDirectly},
        {{Host(HostRole::FiveSixSearch) + L"/index"},
         L"56",
         "56-search-index",
         Action::Convert,
         &ConvertFiveSixIndexSearch},
        {{Host(HostRole::FiveSixSearch) + L"/videolist"},
         L"56",
         "56-videolist",
         Action::Convert,
         &ConvertFiveSixVideoList},
        {{Host(HostRole::FiveSixMain) + L"/w"}, L"56", "56-album", Action::Convert, &ConvertFiveSixAlbum},
        {{Host(HostRole::SixCn) + L"/search.php"}, L"6", "6cn-search", Action::Convert, &ConvertSixCnSearch},
        {{Host(HostRole::SixCn) + L"/playlist"}, L"6", "6cn-playlist", Action::Convert, &ConvertSixCnPlaylist},
        {{Host(HostRole::SixCn) + L"/videos/"}, L"6", "6cn-videos", Action::Convert, &ConvertSixCnVideos},
        {{L"v_show", L"/programs/view/", L"/v_playlist/", Host(HostRole::FiveSixMain) + L"/u",
          Host(HostRole::SixCn) + L"/watch"},
         nullptr,
         "parse-server video page",
         Action::ResolveVideoPage},
    };
    return rules;
}

// A pattern counts from position 1 on: no address starts with one.
bool Contains(const std::wstring& url, const std::wstring& pattern) {
    std::size_t at = url.find(pattern);
    return at != std::wstring::npos && at > 0;
}

ClassifyResult Playback(bool started) {
    return started ? ClassifyResult::PlaybackStarted : ClassifyResult::PlaybackFailed;
}

} // namespace

std::wstring TudouTableView(std::wstring url) {
    static const std::wstring album = L"display_album", table = L"display_table";
    if (url.find(album) == std::wstring::npos)
        return url + L"/" + table;
    for (std::size_t at = url.find(album); at != std::wstring::npos; at = url.find(album, at + table.size()))
        url.replace(at, album.size(), table);
    return url;
}

std::optional<Route> RouteFor(const std::wstring& url) {
    const std::vector<Rule>& rules = Rules();
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const Rule& rule = rules[i];
        bool matches = false;
        for (const std::wstring& pattern : rule.patterns)
            matches = matches || Contains(url, pattern);
        if (!matches)
            continue;
        // A tudou search always asks for the table view of its results.
        std::wstring address = rule.convert == &ConvertTudouVideoSearch ? TudouTableView(url) : url;
        return Route{static_cast<int>(i + 1), rule.tag, rule.routine, std::move(address)};
    }
    return std::nullopt;
}

ClassifyResult UrlClassifier(NavigationRequest& request, const std::wstring& url) {
    std::optional<Route> route = RouteFor(url);
    if (!route)
        return ClassifyResult::PageFailed;
    const Rule& rule = Rules()[route->rule - 1];
    if (rule.tag)
        request.SetProviderTag(rule.tag);
    switch (rule.action) {
    case Action::Convert:
        return rule.convert(request, route->address) ? ClassifyResult::PageWritten : ClassifyResult::PageFailed;
    case Action::ResolvePlayIndex:
        return Playback(ResolveThroughParseServer(request, route->address, VideoPageKind::PlayIndex));
    case Action::ResolveVideoPage:
        return Playback(ResolveThroughParseServer(request, route->address, VideoPageKind::VideoPage));
    case Action::PlayDirectly: return Playback(PlayerLauncher(request, route->address));
    }
    return ClassifyResult::PageFailed;
}
