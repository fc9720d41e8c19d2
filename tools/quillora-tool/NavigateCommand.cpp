// navigate URL: one intercepted navigation as its worker runs it: the request with the
// device root's settings, the classifier and the routine it picks, then the outcome
// told to the user interface. Prints "result: N", the files written, the feedback
// calls, and for a written page the path the browser is sent to.

#include "Commands.h"
#include "ToolOutput.h"

#include "convert/NavigationWorker.h"
#include "platform/base/Utf8.h"
#include "settings/ProgramFolder.h"

#include <cstdio>

int RunNavigateCommand(const Words& words) {
    if (words.size() != 1)
        return 2;
    CreateProgramFolders();
    ScriptedCoreUi ui;
    PlaylistWatch playlist;
    NavigationOutcome outcome = RunNavigation(ui, platform::WideFromUtf8(words[0]));
    std::printf("result: %d\n", static_cast<int>(outcome.result));
    PrintWrittenPages(outcome.outputPath);
    playlist.PrintIfWritten();
    PrintFeedback(ui);
    if (outcome.result == ClassifyResult::PageWritten)
        std::printf("browser: %s\n", platform::Utf8FromWide(outcome.outputPath).c_str());
    return 0;
}
