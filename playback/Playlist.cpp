#include "playback/Playlist.h"

#include "platform/fs/FileHandle.h"
#include "playback/PlayerLauncher.h"
#include "settings/ProgramFolder.h"

#include <atomic>
#include <unistd.h>

namespace {

std::string OneLine(std::string text, bool escape) {
    std::string out;
    for (char c : text) {
        if (c == '\r' || c == '\n')
            out += escape ? (c == '\r' ? "%0D" : "%0A") : " ";
        else
            out += c;
    }
    return out;
}

} // namespace

std::wstring PlaylistPath() { return ProgramFolderPath(L"\\Data\\video.m3u"); }

bool WritePlaylistFile(const std::string& bytes) {
    // A temporary name of its own for every write, so concurrent writers, in this
    // process or another, each replace the file whole.
    static std::atomic<unsigned> sequence{0};
    std::wstring path = PlaylistPath();
    std::wstring temporary = path + L"." + std::to_wstring(::getpid()) + L"-" + std::to_wstring(sequence++) + L".tmp";
    return platform::ReplaceFileContents(path, temporary, bytes);
}

std::string PlaylistText(const std::vector<PlaylistEntry>& entries) {
    std::string text = "#EXTM3U\n";
    for (const PlaylistEntry& entry : entries)
        text += "#EXTINF:0," + OneLine(entry.title, false) + "\n" + OneLine(entry.address, true) + "\n";
    return text;
}

bool HandOffPlaylist(NavigationRequest& request) {
    CoreUi& ui = request.Ui();
    if (request.EnableFtVideo() == 1) {
        ui.PostShowPlaylist();
        return true;
    }
    std::wstring player = ReadPlayerPath();
    if (player.empty()) {
        ShowLaunchError(ui, ui.OwnerWindow(), ExternalPlayerMissing);
        return false;
    }
    if (StartPlayer(player, PlaylistPath()))
        return true;
    ShowLaunchError(ui, ui.OwnerWindow(), ExternalPlayerFailed);
    return false;
}
