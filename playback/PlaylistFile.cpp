#include "playback/PlaylistFile.h"

#include "platform/fs/WholeFile.h"
#include "platform/text/AnsiText.h"

#include <algorithm>
#include <optional>

namespace {

constexpr std::string_view EntryMark = "#EXTINF";
// The duration starts after "#EXTINF:".
constexpr std::size_t DurationStart = 8;

std::string_view UpToCr(std::string_view text) { return text.substr(0, text.find('\r')); }

bool IsAddressLine(std::string_view line) { return line.starts_with("http://") || line.starts_with("\\"); }

// The entry an "#EXTINF" line starts. Its duration is read from the line's eighth
// character wherever the mark stands; a line without a comma has a duration only.
PlaylistEntry StartedEntry(std::string_view line) {
    line = UpToCr(line);
    std::size_t comma = line.find(',');
    std::string_view duration = line.substr(std::min(DurationStart, line.size()));
    std::string_view title;
    if (comma != std::string_view::npos) {
        duration = comma >= DurationStart ? line.substr(DurationStart, comma - DurationStart) : std::string_view();
        title = line.substr(comma + 1);
    }
    return PlaylistEntry{platform::WideFromAnsi(title), {}, platform::WideFromAnsi(duration)};
}

} // namespace

std::vector<PlaylistEntry> ParsePlaylist(std::string_view bytes) {
    std::vector<PlaylistEntry> entries;
    std::optional<PlaylistEntry> started;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        if (line.empty())
            continue;
        if (line.find(EntryMark) != std::string_view::npos) {
            started = StartedEntry(line);
        } else if (IsAddressLine(line) && started) {
            started->address = platform::WideFromAnsi(UpToCr(line));
            entries.push_back(std::move(*started));
            // Completed: a second address line has no entry of its own to complete.
            started.reset();
        }
    }
    return entries;
}

std::vector<PlaylistEntry> ReadPlaylist(const std::wstring& devicePath) {
    std::optional<std::string> bytes = platform::ReadFileContents(devicePath);
    return bytes ? ParsePlaylist(*bytes) : std::vector<PlaylistEntry>{};
}
