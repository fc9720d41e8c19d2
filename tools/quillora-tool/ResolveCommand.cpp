// resolve SERVER URL: one video page through parse server 1 or 2, as the classifier
// sends it there. Prints "result: true|false", the play list when it was written, and
// the feedback calls (a posted WM_SHOW_PLAYLIST among them).

#include "Commands.h"
#include "ToolOutput.h"

#include "convert/ParseServerQuery.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/base/Utf8.h"

#include <cstdio>

int RunResolveCommand(const Words& words) {
    if (words.size() != 2 || (words[0] != "1" && words[0] != "2"))
        return 2;
    ScriptedCoreUi ui;
    PlaylistWatch playlist;
    bool result;
    {
        NavigationRequest request(ui);
        // The server is the one named here, whatever the settings say.
        result = ResolveThroughParseServer(request, platform::WideFromUtf8(words[1]), VideoPageKind::VideoPage,
                                           words[0] == "1" ? 0 : 1);
    }
    std::printf("result: %s\n", result ? "true" : "false");
    playlist.PrintIfWritten();
    PrintFeedback(ui);
    return 0;
}
