#include "ToolOutput.h"

#include "convert/PagedListing.h"
#include "platform/base/Utf8.h"
#include "platform/fs/FileApi.h"
#include "platform/fs/FindFile.h"
#include "playback/Playlist.h"

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

namespace {

// The play list's size and write time, or nothing when there is none.
std::optional<std::pair<DWORD, std::uint64_t>> PlaylistStamp() {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(PlaylistPath().c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return std::nullopt;
    FindClose(search);
    std::uint64_t time =
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return std::make_pair(data.nFileSizeLow, time);
}

} // namespace

PlaylistWatch::PlaylistWatch() : m_before(PlaylistStamp()) {}

void PlaylistWatch::PrintIfWritten() const {
    auto after = PlaylistStamp();
    if (after && after != m_before)
        std::printf("written: %s\n", platform::Utf8FromWide(PlaylistPath()).c_str());
}
