#include "playback/Playlist.h"

#include "platform/fs/WholeFile.h"
#include "playback/PlayerLauncher.h"
#include "settings/ProgramFolder.h"

namespace {

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

} // namespace

std::wstring PlaylistPath() { return ProgramFolderPath(L"\\Data\\video.m3u"); }

bool WritePlaylistFile(const std::string& bytes) { return platform::ReplaceFileContents(PlaylistPath(), bytes); }

std::string PlaylistText(const std::vector<PlaylistEntry>& entries) {
    std::string text = "#EXTM3U\n";
    for (const PlaylistEntry& entry : entries)
        text += "#EXTINF:0," + OneLine(entry.title) + "\n" + StreamAddress(entry.address) + "\n";
    return text;
}

std::string StreamAddress(std::string_view text) {
    constexpr std::string_view Around = " \t\r\n";
    std::size_t first = text.find_first_not_of(Around);
    if (first == std::string_view::npos)
        return {};
    text = text.substr(first, text.find_last_not_of(Around) - first + 1);
    return std::string(text.substr(0, text.find_first_of("\r\n")));
}

bool HandOffPlaylist(NavigationRequest& request) {
    CoreUi& ui = request.Ui();
    if (!UsesBuiltInPlayer(request))
        return StartExternalPlayer(ui, ui.OwnerWindow(), PlaylistPath());
    ui.PostShowPlaylist();
    return true;
}
