// convert KIND URL: one converter on the address with a fresh request, as a worker
// would run it once the classifier has chosen it. Prints "result: true|false", the
// files written and the feedback calls made, one a line.

#include "Commands.h"
#include "ToolOutput.h"

#include "convert/ClassifierRules.h"
#include "fetch/NavigationRequest.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/base/Utf8.h"
#include "settings/ProgramFolder.h"

#include <cstdio>

int RunConvertCommand(const Words& words) {
    if (words.size() != 2)
        return 2;
    const ClassifierRule* converter = FindConverter(words[0]);
    if (!converter) {
        std::fprintf(stderr, "unknown converter %s\n", words[0].c_str());
        return 2;
    }
    CreateProgramFolders();
    ScriptedCoreUi ui;
    bool result;
    std::wstring outputPath;
    {
        NavigationRequest request(ui);
        outputPath = request.OutputPath();
        result = RunConverter(*converter, request, platform::WideFromUtf8(words[1]));
    }
    std::printf("result: %s\n", result ? "true" : "false");
    PrintWrittenPages(outputPath);
    PrintFeedback(ui);
    return 0;
}
