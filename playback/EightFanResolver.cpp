#include "playback/Playlist.h"
#include "playback/Resolvers.h"

bool EightFanResolver(NavigationRequest& request, const std::wstring& query) {
    bool fetched = request.Fetch(query, NavigationRequest::FetchMode::DownloadOnly);
    request.Ui().CloseWaitDialog();
    if (!fetched)
        return false;
    const std::string& answer = request.PageText();
    // Anything but a stream address is an answer without parts, as for parse server 1.
    if (answer.find("#EXTM3U") == std::string::npos)
        return PlaySingleAddress(request, answer);
    // An older play list must not be played in place of this one.
    if (!WritePlaylistFile(answer + "\n")) {
        request.Ui().MessageBox(request.Ui().OwnerWindow(), PlaylistNotCreated, L"错误", MessageBoxOk);
        return false;
    }
    return HandOffPlaylist(request);
}
