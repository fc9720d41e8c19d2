#include "platform/inet/HostMap.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <strings.h>

namespace platform {

std::vector<HostMapping> LoadHostMap() {
    std::vector<HostMapping> map;
    const char* file = std::getenv("QUILLORA_HOSTS");
    if (!file || !*file)
        return map;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        HostMapping mapping;
        if (fields >> mapping.host >> mapping.address)
            map.push_back(std::move(mapping));
    }
    return map;
}

std::optional<std::string> MappedAddress(const std::vector<HostMapping>& map, const std::string& hostAndPort) {
    std::string host = hostAndPort;
    if (auto colon = host.rfind(':'); colon != std::string::npos && host.find(']') == std::string::npos)
        host = host.substr(0, colon);
    for (const HostMapping& mapping : map) {
        if (mapping.host == "*" || strcasecmp(mapping.host.c_str(), host.c_str()) == 0)
            return mapping.address;
    }
    return std::nullopt;
}

} // namespace platform
