// resolve SERVER URL: one video page through parse server 1 or 2, as the classifier
// sends it there. Prints "result: true|false", the play list when it was written, and
// the feedback calls (a posted WM_SHOW_PLAYLIST among them).

#include "Commands.h"
#include "ToolOutput.h"

#include "convert/ParseServerQuery.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/base/Utf8.h"
#include "platform/fs/FindFile.h"
#include "playback/Playlist.h"

#include <cstdio>
#include <optional>

namespace {

// The play list's size and write time, or nothing when there is none.
std::optional<std::pair<DWORD, std::uint64_t>> PlaylistStamp() {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(PlaylistPath().c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return std::nullopt;
    FindClose(search);
    std::uint64_t time = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                         data.ftLastWriteTime.dwLowDateTime;
    return std::make_pair(data.nFileSizeLow, time);
}

} // namespace

int RunResolveCommand(const Words& words) {
    if (words.size() != 2 || (words[0] != "1" && words[0] != "2"))
        return 2;
    ScriptedCoreUi ui;
    auto before = PlaylistStamp();
    bool result;
    {
        NavigationRequest request(ui);
        // The server is the one named here, whatever the settings say.
        result = ResolveThroughParseServer(request, platform::WideFromUtf8(words[1]), VideoPageKind::VideoPage,
                                           words[0] == "1" ? 0 : 1);
    }
    std::printf("result: %s\n", result ? "true" : "false");
    auto after = PlaylistStamp();
    if (after && after != before)
        std::printf("written: %s\n", platform::Utf8FromWide(PlaylistPath()).c_str());
    PrintFeedback(ui);
    return 0;
}
