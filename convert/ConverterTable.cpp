#include "convert/ConverterTable.h"

#include "convert/FiveSixPages.h"
#include "convert/SixCnPages.h"
#include "convert/TudouPages.h"
#include "convert/UrlClassifier.h"
#include "convert/YoukuPages.h"

namespace {

// The video search asks for the table view, as the classifier does.
bool TudouVideoSearchTable(NavigationRequest& request, const std::wstring& address) {
    return ConvertTudouVideoSearch(request, TudouTableView(address));
}

} // namespace

const std::vector<NamedConverter>& Converters() {
    static const std::vector<NamedConverter> table = {
        {"youku-search-video", L"youku", &ConvertYoukuVideoSearch},
        {"youku-search-playlist", L"youku", &ConvertYoukuPlaylistSearch},
        {"youku-playlist", L"youku", &ConvertYoukuPlaylist},
        {"youku-channel", L"youku", &ConvertYoukuChannel},
        {"tudou-search-video", L"tudou", &TudouVideoSearchTable},
        {"tudou-search-playlist", L"tudou", &ConvertTudouPlaylistSearch},
        {"tudou-top", L"tudou", &ConvertTudouTop},
        {"tudou-playlist", L"tudou", &ConvertTudouPlaylist},
        {"56-search-index", L"56", &ConvertFiveSixIndexSearch},
        {"56-videolist", L"56", &ConvertFiveSixVideoList},
        {"56-album", L"56", &ConvertFiveSixAlbum},
        {"6cn-search", L"6", &ConvertSixCnSearch},
        {"6cn-playlist", L"6", &ConvertSixCnPlaylist},
        {"6cn-videos", L"6", &ConvertSixCnVideos},
    };
    return table;
}

const NamedConverter* FindConverter(std::string_view name) {
    for (const NamedConverter& converter : Converters()) {
        if (converter.name == name)
            return &converter;
    }
    return nullptr;
}
