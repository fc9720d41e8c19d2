#pragma once
// Directory searches: "folder\pattern" with the wildcards * and ?, matched without
// regard to case; "*.*" matches every name. Like the device, a search lists neither
// "." nor "..". The entries are taken when the search starts.

#include "platform/base/Win32Types.h"

#include <string_view>

struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    WCHAR cFileName[MAX_PATH];
};

HANDLE FindFirstFileW(LPCWSTR fileName, WIN32_FIND_DATAW* findData);
BOOL FindNextFileW(HANDLE findFile, WIN32_FIND_DATAW* findData);
BOOL FindClose(HANDLE findFile);

namespace platform {
bool WildcardMatches(std::wstring_view pattern, std::wstring_view name);
}
