#include "playback/Playlist.h"

#include "platform/fs/WholeFile.h"
#include "platform/text/AnsiText.h"
#include "playback/PlayerLauncher.h"
#include "settings/ProgramFolder.h"

#include <cctype>

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

std::string PlaylistText(const std::vector<PlaylistPart>& entries) {
    std::string text = "#EXTM3U\n";
    for (const PlaylistPart& entry : entries)
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

bool LooksLikeStreamAddress(std::string_view address) {
    if (address.empty() || address.find_first_of("<>\"") != std::string_view::npos)
        return false;
    if (address.front() == '\\')
        return true;
    if (address.find_first_of(" \t") != std::string_view::npos)
        return false;
    std::size_t colon = address.find("://");
    if (colon == std::string_view::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(address.front())))
        return false;
    for (char c : address.substr(0, colon)) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

bool PlaySingleAddress(NavigationRequest& request, std::string_view text) {
    std::string address = StreamAddress(text);
    return LooksLikeStreamAddress(address) && PlayerLauncher(request, platform::WideFromAnsi(address));
}

bool HandOffPlaylist(NavigationRequest& request) {
    CoreUi& ui = request.Ui();
    if (!UsesBuiltInPlayer(request))
        return StartExternalPlayer(ui, ui.OwnerWindow(), PlaylistPath());
    ui.PostShowPlaylist();
    return true;
}
