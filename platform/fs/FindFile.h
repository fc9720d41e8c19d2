#pragma once
// Directory searches: "folder\pattern" with the wildcards * and ?, matched without
// regard to case; "*.*" matches every name. Like the device, a search lists neither
// "." nor "..". The entries are taken when the search starts.

#include "platform/base/Win32Types.h"

#include <string>
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

// One search, closed when it goes: `found` holds the first entry when Found().
class FileSearch {
public:
    FileSearch(const std::wstring& pattern, WIN32_FIND_DATAW& found)
        : m_handle(FindFirstFileW(pattern.c_str(), &found)) {}
    ~FileSearch() {
        if (m_handle != INVALID_HANDLE_VALUE)
            FindClose(m_handle);
    }
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    bool Found() const { return m_handle != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAW& found) { return FindNextFileW(m_handle, &found) != FALSE; }

private:
    HANDLE m_handle;
};
} // namespace platform
