#pragma once
// The entries of the device's directories by their names in lower case, so that a name
// the device treats without regard to case is found without reading the directory each
// time. A directory's index is kept while the directory's modification time stays as
// it was when the index was read; a change the file calls make themselves is noted into
// the index at once (a page written after another would otherwise read \Temp anew each
// time). A directory read moments after a change is read again at the next look, since
// a second change in the same tick of the file system's clock would not show; but a
// change another process makes in the tick of one noted here may be seen late: the
// device root belongs to the one program that runs on it.
// At most a few dozen directories are kept. Thread-safe.

#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

namespace platform {

// The entry of `directory` named `name` in any case; nothing when there is none.
std::optional<std::filesystem::path> FindEntryIgnoringCase(const std::filesystem::path& directory,
                                                           std::wstring_view name);
// A change the file calls make to an entry (a host path) of a directory: made before
// the change, it takes the directory's modification time; noted after it, it brings the
// directory's index up to date, or drops the index when something else changed the
// directory in between.
class DirectoryChange {
public:
    explicit DirectoryChange(std::filesystem::path entry);
    void Added() const { Note(true); }
    void Removed() const { Note(false); }

private:
    void Note(bool added) const;

    std::filesystem::path m_entry;
    std::optional<timespec> m_before; // the directory's modification time
};

// The directory was removed or renamed: its index and those below it go.
void ForgetDirectory(const std::filesystem::path& directory);

} // namespace platform
