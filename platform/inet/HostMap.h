#pragma once
// The host map: the file named by QUILLORA_HOSTS, one "host address:port" a line
// ('#' starts a comment), sends connections for a host to another address while the
// request keeps its host name. The host "*" stands for every host the lines before it
// do not name (the offline demo sends everything to its own server that way). It is read at each use, so tests may
// rewrite it.

#include <optional>
#include <string>
#include <vector>

namespace platform {

struct HostMapping {
    std::string host;
    std::string address; // "address:port"
};

std::vector<HostMapping> LoadHostMap();
// The mapped "address:port" for a "host:port" or "host" (a proxy string), if any.
std::optional<std::string> MappedAddress(const std::vector<HostMapping>& map, const std::string& hostAndPort);

} // namespace platform
