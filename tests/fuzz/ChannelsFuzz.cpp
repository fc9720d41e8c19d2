#include "FuzzTargets.h"
#include "FuzzText.h"

#include "settings/ChannelFile.h"
#include "settings/ChannelIndex.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool IsKey(const std::wstring& key) { return key.empty() || (key.size() == 1 && key[0] >= L'A' && key[0] <= L'Z'); }

} // namespace

int FuzzChannels(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<ChannelEntry> channels = ParseChannelFile(bytes);
    // Only a "Type=" line completes a channel, and only one that has a path.
    if (channels.size() > CountOf(bytes, "Type="))
        std::abort();
    for (const ChannelEntry& channel : channels) {
        if (channel.path.empty() || !IsKey(channel.key))
            std::abort();
    }
    if (!IsKey(IndexKeyOfAnsi(bytes)))
        std::abort();
    return 0;
}
