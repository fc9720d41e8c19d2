#pragma once
// The providers' and parse servers' host names, by role. A role's address is "http://"
// and its host, without a trailing slash.

#include <string>
#include <string_view>

enum class HostRole {
    YoukuSearch,
    YoukuMain,
    TudouSearch,
    TudouMain,
    FiveSixSearch,
    FiveSixMain,
    SixCn,
    ParseServer1,
    ParseServer2,
};

std::string_view HostOf(HostRole role);
std::string AddressOf(HostRole role);
