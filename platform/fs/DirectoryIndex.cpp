#include "platform/fs/DirectoryIndex.h"

#include "platform/base/Utf8.h"

#include <cwctype>
#include <dirent.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <time.h>
#include <unordered_map>

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t MaximumDirectories = 64;
// A directory changed this recently may change again within the same tick of the file
// system's clock, which its modification time would not show: its index is read again.
constexpr long RecentNanoseconds = 50'000'000;

std::wstring Folded(std::wstring_view name) {
    std::wstring folded(name);
    for (wchar_t& c : folded)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return folded;
}

std::optional<timespec> ModificationTime(const fs::path& directory) {
    struct stat status {};
    if (::stat(directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return std::nullopt;
    return status.st_mtim;
}

bool operator==(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

bool IsRecent(const timespec& modified) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    long long elapsed = (now.tv_sec - modified.tv_sec) * 1'000'000'000LL + (now.tv_nsec - modified.tv_nsec);
    return elapsed < RecentNanoseconds;
}

struct Index {
    timespec modified{};
    // Read long enough after the directory's last change that no second change can hide
    // behind the same modification time, or brought up to date by a change noted here.
    bool confirmed = false;
    std::unordered_map<std::wstring, std::string> names; // folded name → name on the disk
};

// The first entry of each folded name wins, as a walk of the directory would find it.
std::optional<Index> ReadIndex(const fs::path& directory, const timespec& modified) {
    DIR* stream = ::opendir(directory.c_str());
    if (!stream)
        return std::nullopt;
    Index index{modified, !IsRecent(modified), {}};
    while (dirent* entry = ::readdir(stream)) {
        std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            index.names.try_emplace(Folded(WideFromUtf8(std::string(name))), name);
    }
    ::closedir(stream);
    return index;
}

struct Indexes {
    std::mutex lock;
    std::unordered_map<std::string, Index> directories;
};

Indexes& TheIndexes() {
    static Indexes indexes;
    return indexes;
}

} // namespace

std::optional<fs::path> FindEntryIgnoringCase(const fs::path& directory, std::wstring_view name) {
    std::optional<timespec> modified = ModificationTime(directory);
    if (!modified)
        return std::nullopt;
    Indexes& indexes = TheIndexes();
    std::lock_guard guard(indexes.lock);
    auto found = indexes.directories.find(directory.native());
    if (found == indexes.directories.end() || !(found->second.modified == *modified) || !found->second.confirmed) {
        std::optional<Index> index = ReadIndex(directory, *modified);
        if (!index)
            return std::nullopt;
        bool known = found != indexes.directories.end();
        if (!known && indexes.directories.size() >= MaximumDirectories)
            indexes.directories.clear();
        found = indexes.directories.insert_or_assign(directory.native(), std::move(*index)).first;
    }
    auto entry = found->second.names.find(Folded(name));
    if (entry == found->second.names.end())
        return std::nullopt;
    return directory / entry->second;
}

DirectoryChange::DirectoryChange(fs::path entry)
    : m_entry(std::move(entry)), m_before(ModificationTime(m_entry.parent_path())) {}

void DirectoryChange::Note(bool added) const {
    fs::path directory = m_entry.parent_path();
    Indexes& indexes = TheIndexes();
    std::lock_guard guard(indexes.lock);
    auto found = indexes.directories.find(directory.native());
    if (found == indexes.directories.end())
        return;
    Index& index = found->second;
    std::optional<timespec> modified = ModificationTime(directory);
    // Something not noted here changed the directory since its index was read: the
    // index is read again at the next look.
    bool current = m_before && index.modified == *m_before;
    if (!modified || !current) {
        indexes.directories.erase(found);
        return;
    }
    index.modified = *modified;
    std::string name = m_entry.filename().string();
    std::wstring folded = Folded(WideFromUtf8(name));
    if (added) {
        index.names.try_emplace(folded, name);
        index.confirmed = true;
    } else if (auto entry = index.names.find(folded); entry != index.names.end() && entry->second == name) {
        // Another entry of the same name in another case may be there too: read again.
        index.names.erase(entry);
        index.confirmed = false;
    }
}

void ForgetDirectory(const fs::path& directory) {
    Indexes& indexes = TheIndexes();
    std::lock_guard guard(indexes.lock);
    const std::string& path = directory.native();
    std::erase_if(indexes.directories, [&](const auto& entry) {
        return entry.first == path || (entry.first.starts_with(path) && entry.first[path.size()] == '/');
    });
}

} // namespace platform
