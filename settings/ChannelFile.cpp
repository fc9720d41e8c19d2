#include "settings/ChannelFile.h"

#include "platform/base/Decimal.h"
#include "platform/fs/FileApi.h"
#include "platform/fs/FileHandle.h"
#include "platform/text/AnsiText.h"
#include "settings/ChannelIndex.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace {

// A channel list is a few kilobytes; a file far larger is something else and is not
// read into memory.
constexpr DWORD LargestChannelFile = 16u << 20;

constexpr std::string_view NameStart = "[";
constexpr std::string_view PathKey = "Path=";
constexpr std::string_view TypeKey = "Type=";

// The line's text from `from` up to its first CR: files written with CR LF keep the
// CR at the end of each line, and nothing after a CR belongs to the value.
std::string_view ValueFrom(std::string_view line, std::size_t from) {
    std::string_view value = line.substr(from);
    return value.substr(0, value.find('\r'));
}

// Between the first "[" and the last "]"; without a "]" after the "[", to the line's end.
std::string_view NameOf(std::string_view line) {
    std::size_t open = line.find(NameStart);
    std::size_t close = line.rfind(']');
    if (close == std::string_view::npos || close < open)
        return ValueFrom(line, open + 1);
    return line.substr(open + 1, close - open - 1);
}

int TypeOf(std::string_view text) {
    return static_cast<int>(std::clamp<long long>(platform::LeadingDecimal<char>(text), INT_MIN, INT_MAX));
}

// The block being read: its name's and its path's bytes, views into the file's bytes.
struct OpenBlock {
    std::string_view name;
    std::string_view path;
};

} // namespace

std::vector<ChannelEntry> ParseChannelFile(std::string_view bytes) {
    std::vector<ChannelEntry> channels;
    std::optional<OpenBlock> block;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        if (line.find(NameStart) != std::string_view::npos) {
            block = OpenBlock{NameOf(line), {}};
        } else if (std::size_t at = line.find(PathKey); at != std::string_view::npos) {
            // A path before any name line belongs to no channel.
            if (block)
                block->path = ValueFrom(line, at + PathKey.size());
        } else if (std::size_t at = line.find(TypeKey); at != std::string_view::npos) {
            if (block && !block->path.empty())
                channels.push_back(ChannelEntry{IndexKeyOfAnsi(block->name), platform::WideFromAnsi(block->name),
                                                platform::WideFromAnsi(block->path),
                                                TypeOf(ValueFrom(line, at + TypeKey.size()))});
            // Completed or dropped, the block is over: a later path or type needs a new name line.
            block.reset();
        }
    }
    return channels;
}

std::vector<ChannelEntry> ReadChannelFile(const std::wstring& file) {
    platform::FileHandle handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.IsOpen())
        return {};
    DWORD high = 0;
    DWORD size = GetFileSize(handle.Get(), &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size == 0 || size > LargestChannelFile)
        return {};
    std::string bytes(size, '\0');
    DWORD read = 0;
    if (!ReadFile(handle.Get(), bytes.data(), size, &read, nullptr))
        return {};
    bytes.resize(read);
    return ParseChannelFile(bytes);
}
