#include "convert/ProviderHosts.h"

std::string_view HostOf(HostRole role) {
    switch (role) {
    case HostRole::YoukuSearch: return "so.youku.com";
    case HostRole::YoukuMain: return "www.youku.com";
    case HostRole::TudouSearch: return "so.tudou.com";
    case HostRole::TudouMain: return "www.tudou.com";
    case HostRole::FiveSixSearch: return "so.56.com";
    case HostRole::FiveSixMain: return "www.56.com";
    case HostRole::SixCn: return "6.cn";
    case HostRole::ParseServer1: return "www.flvcd.com";
    case HostRole::ParseServer2: return "www.8fan.net";
    }
    return "";
}

std::string AddressOf(HostRole role) { return "http://" + std::string(HostOf(role)); }
