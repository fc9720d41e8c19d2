#include "app/BrowserCache.h"

#include "platform/base/Utf8.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/fs/FileApi.h"
#include "platform/fs/FindFile.h"
#include "platform/registry/Registry.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"
#include "toolkit/FeedbackCalls.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr DWORD CacheValueBytes = 1024;

using platform::FileSearch;

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (m_key)
            RegCloseKey(m_key);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    PHKEY Put() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring WithoutTrailingSeparators(std::wstring path) {
    while (!path.empty() && IsSeparator(path.back()))
        path.pop_back();
    return path;
}

// The folder part of a device path and its last name.
std::pair<std::wstring, std::wstring> SplitDevicePath(const std::wstring& path) {
    std::wstring trimmed = WithoutTrailingSeparators(path);
    std::size_t cut = trimmed.find_last_of(L"\\/");
    if (cut == std::wstring::npos)
        return {std::wstring(), trimmed};
    return {trimmed.substr(0, cut), trimmed.substr(cut + 1)};
}

// The entry itself on this machine, never what a link of it leads to: a link leading out
// of the root has no device path, but its folder has.
std::optional<fs::path> HostEntry(const std::wstring& devicePath) {
    auto [folder, name] = SplitDevicePath(devicePath);
    if (name.empty())
        return std::nullopt;
    auto host = platform::HostPathFromDevice(folder);
    if (!host)
        return std::nullopt;
    return *host / platform::Utf8FromWide(name);
}

bool IsLink(const std::wstring& devicePath) {
    auto host = HostEntry(devicePath);
    std::error_code error;
    return host && fs::is_symlink(fs::symlink_status(*host, error));
}

bool IsAncestorOrSame(const std::vector<std::wstring>& above, const std::vector<std::wstring>& below) {
    if (above.size() > below.size())
        return false;
    return std::equal(above.begin(), above.end(), below.begin(),
                      [](const std::wstring& a, const std::wstring& b) { return platform::EqualsIgnoringCase(a, b); });
}

bool IsHostAncestorOrSame(const fs::path& above, const fs::path& below) {
    return std::mismatch(above.begin(), above.end(), below.begin(), below.end()).first == above.end();
}

std::optional<fs::path> CanonicalHostPath(const std::wstring& devicePath) {
    auto host = platform::HostPathFromDevice(devicePath);
    if (!host)
        return std::nullopt;
    std::error_code error;
    fs::path canonical = fs::weakly_canonical(*host, error);
    if (error)
        return std::nullopt;
    return canonical;
}

std::vector<std::wstring> ProtectedFolders() {
    return {L"\\", L"\\Windows", ProgramFolderPath(), ProgramFolderPath(L"\\Data"), ProgramFolderPath(L"\\Favorite")};
}

void Walk(const std::wstring& folder, CacheWalk& walk) {
    walk.folders.push_back(folder);
    // A link is taken away as a file and never entered, wherever it leads: through a
    // link to a folder elsewhere in the root the walk would empty that folder, and a link
    // back up would have it go round.
    if (IsLink(folder))
        return;
    for (const FolderEntry& entry : ListFolder(folder, L"*")) {
        std::wstring path = JoinDevicePath(folder, entry.name);
        if (entry.folder && !entry.link)
            Walk(path, walk);
        else
            walk.files.push_back(path);
    }
}

// A link goes itself, by this machine's own call: the device's delete refuses a link to a
// folder, and a link leading out of the root has no device path to be deleted by.
bool DeleteEntry(const std::wstring& path) {
    if (IsLink(path)) {
        std::error_code error;
        auto host = HostEntry(path);
        return host && fs::remove(*host, error) && !error;
    }
    return DeleteFileW(path.c_str()) != FALSE;
}

} // namespace

std::vector<FolderEntry> ListFolder(const std::wstring& folder, const wchar_t* pattern) {
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAW found{};
    FileSearch search(JoinDevicePath(folder, pattern), found);
    if (!search.Found())
        return entries;
    auto host = platform::HostPathFromDevice(folder);
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        FolderEntry entry;
        entry.name = name;
        entry.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // The find data describes what a link leads to; the link itself is asked for.
        std::error_code error;
        entry.link = host && fs::is_symlink(fs::symlink_status(*host / platform::Utf8FromWide(name), error));
        // The low half alone would count a file of 4 GiB or more as what is left over.
        entry.size = entry.folder ? 0 : (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
        entries.push_back(std::move(entry));
    } while (search.Next(found));
    return entries;
}

std::wstring JoinDevicePath(const std::wstring& folder, const std::wstring& name) {
    return WithoutTrailingSeparators(folder) + L"\\" + name;
}

std::wstring ReadCacheFolder() {
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ShellFoldersKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
        return DefaultCacheFolder;
    wchar_t buffer[CacheValueBytes / sizeof(wchar_t)] = {};
    DWORD size = sizeof buffer;
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key.Get(), L"Cache", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return DefaultCacheFolder;
    // A value of another kind names no folder.
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return DefaultCacheFolder;
    // A value that fills the buffer brings no terminator of its own.
    buffer[std::size(buffer) - 1] = L'\0';
    return buffer;
}

bool WriteCacheFolder(const std::wstring& folder) {
    RegistryKey key;
    // The device always has this key; a fresh root of this machine may lack it, and
    // creating opens the key where it is.
    if (RegCreateKeyExW(HKEY_CURRENT_USER, ShellFoldersKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        key.Put(), nullptr) != ERROR_SUCCESS)
        return false;
    auto bytes = static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.Get(), L"Cache", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()), bytes) ==
           ERROR_SUCCESS;
}

std::uint64_t CacheSize(const std::wstring& folder) {
    std::uint64_t total = 0;
    for (const FolderEntry& entry : ListFolder(folder, L"*.*")) {
        // A link holds nothing the cleaning would free; entering one could count a
        // folder twice, or for ever.
        if (entry.link)
            continue;
        if (entry.folder)
            total += CacheSize(JoinDevicePath(folder, entry.name));
        else
            total += entry.size;
    }
    return total;
}

std::wstring CacheSizeText(std::uint64_t bytes) {
    if (bytes < 1024)
        return std::to_wstring(bytes) + L" B";
    if (bytes <= 1048575)
        return std::to_wstring(bytes / 1024) + L" KB";
    return std::to_wstring(bytes / 1048576) + L" MB";
}

// A cache folder is the user's to choose, and an empty value or a typed path can name any
// folder: the cleaning would then delete the device's system, the program and the user's
// favourites. Names are compared as the device compares them, and where a folder leads
// on this machine as well, so neither another spelling nor a link to one gets past.
bool IsRefusedCacheRoot(const std::wstring& folder) {
    std::vector<std::wstring> components = platform::DevicePathComponents(folder);
    std::optional<fs::path> host = CanonicalHostPath(folder);
    // A name the device cannot hold, or a link leading out of the root: nothing to clean.
    if (!host)
        return true;
    for (const std::wstring& protectedFolder : ProtectedFolders()) {
        if (IsAncestorOrSame(components, platform::DevicePathComponents(protectedFolder)))
            return true;
        std::optional<fs::path> protectedHost = CanonicalHostPath(protectedFolder);
        if (protectedHost && IsHostAncestorOrSame(*host, *protectedHost))
            return true;
    }
    return false;
}

CacheWalk WalkCache(const std::wstring& root) {
    CacheWalk walk;
    Walk(root, walk);
    return walk;
}

void DeleteWalked(CacheCleaning& cleaning) {
    const CacheWalk& walk = cleaning.walk;
    for (auto file = walk.files.rbegin(); file != walk.files.rend(); ++file)
        (DeleteEntry(*file) ? cleaning.removed : cleaning.left).push_back(*file);
    for (std::size_t index = walk.folders.size(); index-- > 1;) {
        const std::wstring& folder = walk.folders[index];
        (RemoveDirectoryW(folder.c_str()) ? cleaning.removed : cleaning.left).push_back(folder);
    }
}

CacheCleaning CleanCacheFolder(const std::wstring& root) {
    CacheCleaning cleaning;
    if (IsRefusedCacheRoot(root)) {
        cleaning.refused = true;
        return cleaning;
    }
    cleaning.walk = WalkCache(root);
    DeleteWalked(cleaning);
    return cleaning;
}

std::wstring ManualCleaningRoot(const std::wstring& cacheFolder) { return JoinDevicePath(cacheFolder, L"Content.IE5"); }

bool CleanCacheAtExit(HWND owner, FeedbackCalls& feedback, const std::wstring& cacheFolder) {
    int isCache = 1;
    IniReadInt(L"Browser", L"IsCache", isCache, ProgramFolderPath(L"\\Data\\Setting.ini").c_str());
    if (isCache != 1)
        return false;
    feedback.ShowWaitDialog(owner, nullptr, 1);
    CleanCacheFolder(cacheFolder);
    feedback.CloseWaitDialog();
    return true;
}
