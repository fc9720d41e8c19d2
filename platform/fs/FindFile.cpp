#include "platform/fs/FindFile.h"

#include "platform/base/HandleTable.h"
#include "platform/base/LastError.h"
#include "platform/base/Time.h"
#include "platform/base/Utf8.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/fs/FileApi.h"

#include <cwchar>
#include <cwctype>
#include <filesystem>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;
using platform::HandleKind;

namespace {

class FindObject : public platform::HandleObject {
public:
    explicit FindObject(std::vector<WIN32_FIND_DATAW> entries)
        : HandleObject(HandleKind::FindSearch), m_entries(std::move(entries)) {}

    bool Next(WIN32_FIND_DATAW* data) {
        if (m_next >= m_entries.size())
            return false;
        *data = m_entries[m_next++];
        return true;
    }

private:
    std::vector<WIN32_FIND_DATAW> m_entries;
    std::size_t m_next = 0;
};

bool Describe(const fs::path& path, const std::wstring& name, WIN32_FIND_DATAW& data) {
    struct stat info {};
    if (name.size() >= MAX_PATH || ::stat(path.c_str(), &info) != 0)
        return false;
    data = {};
    data.dwFileAttributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!(info.st_mode & S_IWUSR))
        data.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    data.ftCreationTime = platform::FileTimeFromUnix(info.st_mtim);
    data.ftLastAccessTime = platform::FileTimeFromUnix(info.st_atim);
    data.ftLastWriteTime = platform::FileTimeFromUnix(info.st_mtim);
    if (!S_ISDIR(info.st_mode)) {
        auto size = static_cast<std::uint64_t>(info.st_size);
        data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    }
    std::wmemcpy(data.cFileName, name.c_str(), name.size() + 1);
    return true;
}

} // namespace

namespace platform {

bool WildcardMatches(std::wstring_view pattern, std::wstring_view name) {
    if (pattern == L"*.*")
        return true;
    // Iterative glob with one backtracking point for the last '*'.
    std::size_t p = 0, n = 0, starP = std::wstring_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == L'?' || std::towlower(pattern[p]) == std::towlower(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::wstring_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*')
        ++p;
    return p == pattern.size();
}

} // namespace platform

HANDLE FindFirstFileW(LPCWSTR fileName, WIN32_FIND_DATAW* findData) {
    if (!fileName || !findData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::wstring_view full(fileName);
    std::size_t cut = full.find_last_of(L"\\/");
    std::wstring_view folder = cut == std::wstring_view::npos ? L"" : full.substr(0, cut);
    std::wstring_view pattern = cut == std::wstring_view::npos ? full : full.substr(cut + 1);
    auto host = platform::HostPathFromDevice(folder);
    std::error_code error;
    if (pattern.empty() || !host || !fs::is_directory(*host, error)) {
        SetLastError(pattern.empty() || !host ? ERROR_INVALID_NAME : ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::vector<WIN32_FIND_DATAW> entries;
    if (pattern.find_first_of(L"*?") == std::wstring_view::npos) {
        // A plain name needs no listing: the device path lookup already ignores case.
        auto exact = platform::HostPathFromDevice(full);
        WIN32_FIND_DATAW data;
        if (exact && Describe(*exact, platform::WideFromUtf8(exact->filename().string()), data))
            entries.push_back(data);
    } else {
        for (fs::directory_iterator it(*host, error), end; !error && it != end; it.increment(error)) {
            std::wstring name = platform::WideFromUtf8(it->path().filename().string());
            WIN32_FIND_DATAW data;
            if (platform::WildcardMatches(pattern, name) && Describe(it->path(), name, data))
                entries.push_back(data);
        }
    }
    if (entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto search = std::make_shared<FindObject>(std::move(entries));
    search->Next(findData);
    SetLastError(ERROR_SUCCESS);
    return platform::InsertHandle(std::move(search));
}

BOOL FindNextFileW(HANDLE findFile, WIN32_FIND_DATAW* findData) {
    auto search = platform::LookupHandleAs<FindObject>(findFile, HandleKind::FindSearch);
    if (!search)
        return FALSE;
    if (!findData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!search->Next(findData)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    return TRUE;
}

BOOL FindClose(HANDLE findFile) { return platform::RemoveHandle(findFile, HandleKind::FindSearch) ? TRUE : FALSE; }
