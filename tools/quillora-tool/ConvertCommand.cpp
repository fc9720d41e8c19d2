// convert KIND URL: one converter on the address with a fresh request, as a worker
// would run it once the classifier has chosen it. Prints "result: true|false", the
// files written and the feedback calls made, one a line.

#include "Commands.h"
#include "ToolOutput.h"

#include "convert/ConverterTable.h"
#include "fetch/NavigationRequest.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/base/Utf8.h"
#include "settings/ProgramFolder.h"

#include <cstdio>

int RunConvertCommand(const Words& words) {
    if (words.size() != 2)
        return 2;
    const NamedConverter* converter = FindConverter(words[0]);
    if (!converter) {
        std::fprintf(stderr, "unknown converter %s; known:", words[0].c_str());
        for (const NamedConverter& known : Converters())
            std::fprintf(stderr, " %.*s", static_cast<int>(known.name.size()), known.name.data());
        std::fprintf(stderr, "\n");
        return 2;
    }
    CreateProgramFolders();
    ScriptedCoreUi ui;
    bool result;
    std::wstring outputPath;
    {
        NavigationRequest request(ui);
        request.SetProviderTag(converter->providerTag);
        outputPath = request.OutputPath();
        result = converter->convert(request, platform::WideFromUtf8(words[1]));
    }
    std::printf("result: %s\n", result ? "true" : "false");
    PrintWrittenPages(outputPath);
    PrintFeedback(ui);
    return 0;
}
