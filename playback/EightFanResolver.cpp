#include "platform/text/AnsiText.h"
#include "playback/PlayerLauncher.h"
#include "playback/Playlist.h"
#include "playback/Resolvers.h"

bool EightFanResolver(NavigationRequest& request, const std::wstring& query) {
    bool fetched = request.Fetch(query, NavigationRequest::FetchMode::DownloadOnly);
    request.Ui().CloseWaitDialog();
    if (!fetched)
        return false;
    const std::string& answer = request.PageText();
    if (answer.find("#EXTM3U") == std::string::npos)
        return PlayerLauncher(request, platform::WideFromAnsi(StreamAddress(answer)));
    // A play list that cannot be written is handed on all the same: an older one may be there.
    WritePlaylistFile(answer + "\n");
    return HandOffPlaylist(request);
}
