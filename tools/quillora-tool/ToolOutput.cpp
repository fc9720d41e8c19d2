#include "ToolOutput.h"

#include "convert/PagedListing.h"
#include "platform/base/Utf8.h"
#include "platform/fs/FileApi.h"

#include <cstdio>

void PrintWrittenPages(const std::wstring& outputPath) {
    for (std::size_t page = 1;; ++page) {
        std::wstring path = PagePath(outputPath, page);
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            break;
        std::printf("written: %s\n", platform::Utf8FromWide(path).c_str());
    }
}

void PrintFeedback(const ScriptedCoreUi& ui) {
    for (const FeedbackRecord& record : ui.Records())
        std::printf("feedback: %s\n", DescribeFeedback(record).c_str());
}
