#pragma once
// Writing a file whole. The bytes go to a new file with a name of its own beside the
// target, are made durable and only then take the target's name in one step, so a
// reader sees the old file or the new one, never a part, and two writers at once never
// share a temporary file. On failure the target is left as it was, the temporary file
// is removed and the last error says why.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

constexpr std::filesystem::perms DefaultFilePermissions =
    std::filesystem::perms::owner_read | std::filesystem::perms::owner_write | std::filesystem::perms::group_read |
    std::filesystem::perms::others_read;

// Replaces the host file `path` (or creates it) with exactly these bytes.
bool ReplaceHostFile(const std::filesystem::path& path, std::string_view bytes,
                     std::filesystem::perms permissions = DefaultFilePermissions);
// Creates the host file `path` with these bytes unless it exists: an existing file,
// even one made meanwhile by another process, is never replaced (ERROR_ALREADY_EXISTS).
bool CreateHostFileWhole(const std::filesystem::path& path, std::string_view bytes,
                         std::filesystem::perms permissions = DefaultFilePermissions);
// ReplaceHostFile for a device path.
bool ReplaceFileContents(const std::wstring& devicePath, std::string_view bytes);
// The whole of a device file; nothing when it cannot be read.
std::optional<std::string> ReadFileContents(const std::wstring& devicePath);

} // namespace platform
