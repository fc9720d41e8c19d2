// cache size FOLDER
// cache clean FOLDER
// FOLDER is a device path inside the device root ("\Windows\Profiles\guest\...").

#include "Commands.h"

#include "app/BrowserCache.h"
#include "platform/base/Utf8.h"

#include <cstdio>

namespace {

using platform::Utf8FromWide;

int Size(const std::wstring& folder) {
    std::printf("%s\n", Utf8FromWide(CacheSizeText(CacheSize(folder))).c_str());
    return 0;
}

// Empties the folder as the program's exit does; the folder itself stays.
int Clean(const std::wstring& folder) {
    CacheCleaning cleaning = CleanCacheFolder(folder);
    if (cleaning.refused) {
        std::fprintf(stderr, "refused: %s is or holds a folder of the system or the program; nothing removed\n",
                     Utf8FromWide(folder).c_str());
        return 1;
    }
    for (const std::wstring& path : cleaning.removed)
        std::printf("removed: %s\n", Utf8FromWide(path).c_str());
    // Files in use or protected stay behind, as in the program: no failure.
    for (const std::wstring& path : cleaning.left)
        std::printf("left: %s\n", Utf8FromWide(path).c_str());
    std::printf("size: %s\n", Utf8FromWide(CacheSizeText(CacheSize(folder))).c_str());
    return 0;
}

} // namespace

int RunCacheCommand(const Words& words) {
    if (words.size() != 2)
        return 2;
    std::wstring folder = platform::WideFromUtf8(words[1]);
    if (words[0] == "size")
        return Size(folder);
    if (words[0] == "clean")
        return Clean(folder);
    return 2;
}
