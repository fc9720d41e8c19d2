#include "convert/ConverterTable.h"

#include "convert/YoukuPages.h"

const std::vector<NamedConverter>& Converters() {
    static const std::vector<NamedConverter> table = {
        {"youku-search-video", L"youku", &ConvertYoukuVideoSearch},
        {"youku-search-playlist", L"youku", &ConvertYoukuPlaylistSearch},
        {"youku-playlist", L"youku", &ConvertYoukuPlaylist},
        {"youku-channel", L"youku", &ConvertYoukuChannel},
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
