#include "convert/ClassifierRules.h"

#include "convert/FiveSixPages.h"
#include "convert/ProviderHosts.h"
#include "convert/SixCnPages.h"
#include "convert/TudouPages.h"
#include "convert/YoukuPages.h"
#include "platform/base/Utf8.h"

namespace {

std::wstring Host(HostRole role) { return platform::WideFromUtf8(HostOf(role)); }

} // namespace

const std::vector<ClassifierRule>& ClassifierRules() {
    using enum RuleAction;
    static const std::vector<ClassifierRule> rules = {
        {{L"/search_video/"}, &Provider::Youku, "youku-search-video", Convert, &ConvertYoukuVideoSearch},
        {{L"/search_playlist/"}, &Provider::Youku, "youku-search-playlist", Convert, &ConvertYoukuPlaylistSearch},
        {{L"/playlist_show/"}, &Provider::Youku, "youku-playlist", Convert, &ConvertYoukuPlaylist},
        {{L"/v_showlist/"}, &Provider::Youku, "youku-channel", Convert, &ConvertYoukuChannel},
        // A tudou search always asks for the table view of its results.
        {{L"/isearch/"}, &Provider::Tudou, "tudou-search-video", Convert, &ConvertTudouVideoSearch, &TudouTableView},
        {{L"/psearch/"}, &Provider::Tudou, "tudou-search-playlist", Convert, &ConvertTudouPlaylistSearch},
        {{Host(HostRole::TudouMain) + L"/top/"}, &Provider::Tudou, "tudou-top", Convert, &ConvertTudouTop},
        {{L"/playlist/id/"}, &Provider::Tudou, "tudou-playlist", Convert, &ConvertTudouPlaylist},
        {{L"/playlist/playindex"}, &Provider::Tudou, "parse-server play index", ResolvePlayIndex},
        {{L".flv"}, nullptr, "player", PlayDirectly},
        {{Host(HostRole::FiveSixSearch) + L"/index"},
         &Provider::FiveSix,
         "56-search-index",
         Convert,
         &ConvertFiveSixIndexSearch},
        {{Host(HostRole::FiveSixSearch) + L"/videolist"},
         &Provider::FiveSix,
         "56-videolist",
         Convert,
         &ConvertFiveSixVideoList},
        {{Host(HostRole::FiveSixMain) + L"/w"}, &Provider::FiveSix, "56-album", Convert, &ConvertFiveSixAlbum},
        {{Host(HostRole::SixCn) + L"/search.php"}, &Provider::SixCn, "6cn-search", Convert, &ConvertSixCnSearch},
        {{Host(HostRole::SixCn) + L"/playlist"}, &Provider::SixCn, "6cn-playlist", Convert, &ConvertSixCnPlaylist},
        {{Host(HostRole::SixCn) + L"/videos/"}, &Provider::SixCn, "6cn-videos", Convert, &ConvertSixCnVideos},
        {{L"v_show", L"/programs/view/", L"/v_playlist/", Host(HostRole::FiveSixMain) + L"/u",
          Host(HostRole::SixCn) + L"/watch"},
         nullptr,
         "parse-server video page",
         ResolveVideoPage},
    };
    return rules;
}

std::vector<const ClassifierRule*> ConverterRules() {
    std::vector<const ClassifierRule*> converters;
    for (const ClassifierRule& rule : ClassifierRules()) {
        if (rule.action == RuleAction::Convert)
            converters.push_back(&rule);
    }
    return converters;
}

const ClassifierRule* FindConverter(std::string_view routine) {
    for (const ClassifierRule* rule : ConverterRules()) {
        if (rule->routine == routine)
            return rule;
    }
    return nullptr;
}

bool RunConverter(const ClassifierRule& rule, NavigationRequest& request, const std::wstring& address) {
    if (rule.provider)
        request.SetProvider(*rule.provider);
    return rule.convert(request, rule.rewrite ? rule.rewrite(address) : address);
}

std::wstring TudouTableView(std::wstring url) {
    static const std::wstring album = L"display_album", table = L"display_table";
    if (url.find(album) == std::wstring::npos)
        return url + L"/" + table;
    for (std::size_t at = url.find(album); at != std::wstring::npos; at = url.find(album, at + table.size()))
        url.replace(at, album.size(), table);
    return url;
}
