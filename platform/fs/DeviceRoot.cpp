#include "platform/fs/DeviceRoot.h"

#include "platform/base/LastError.h"
#include "platform/base/Utf8.h"
#include "platform/fs/DirectoryIndex.h"
#include "platform/fs/WholeFile.h"

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <mutex>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace platform {
namespace {

struct RootState {
    std::mutex lock;
    fs::path root;
    bool chosen = false;
    bool populate = true;
    bool ready = false;
};

RootState& State() {
    static RootState state;
    return state;
}

fs::path DefaultRoot() {
    if (const char* root = std::getenv("QUILLORA_ROOT"); root && *root)
        return root;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return fs::path(data) / "quillora" / "device";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/tmp") / ".local" / "share" / "quillora" / "device";
}

// Copied whole under a name of its own first, so that a concurrent process never sees
// half a file, and never over a file that is there (the user's, or another process's copy).
void CopyMissingFile(const fs::path& from, const fs::path& to) {
    std::error_code error;
    if (fs::exists(to, error))
        return;
    std::ifstream in(from, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad())
        return; // a file of the image that cannot be read is not copied half
    fs::perms permissions = fs::status(from, error).permissions();
    CreateHostFileWhole(to, bytes, error ? DefaultFilePermissions : permissions & fs::perms::mask);
}

// The device's own files that the build makes (art, sounds) are replaced by a newer build's,
// whole, as a system update would; nobody edits them on the device.
void RefreshFile(const fs::path& from, const fs::path& to) {
    std::error_code error;
    auto made = fs::last_write_time(from, error);
    if (error)
        return;
    auto there = fs::last_write_time(to, error);
    if (error) {
        CopyMissingFile(from, to);
        return;
    }
    if (there >= made)
        return;
    std::ifstream in(from, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.is_open() && !in.bad())
        ReplaceHostFile(to, bytes);
}

void Populate(const fs::path& root, const fs::path& image, bool refresh) {
    std::error_code error;
    fs::create_directories(root, error);
    for (fs::recursive_directory_iterator it(image, error), end; !error && it != end; it.increment(error)) {
        fs::path target = root / fs::relative(it->path(), image, error);
        if (it->is_directory(error))
            fs::create_directories(target, error);
        else if (it->is_regular_file(error))
            refresh ? RefreshFile(it->path(), target) : CopyMissingFile(it->path(), target);
    }
}

bool IsValidComponent(std::wstring_view name) {
    for (wchar_t c : name) {
        if (c < 0x20 || std::wstring_view(L"<>:\"|?*").find(c) != std::wstring_view::npos)
            return false;
    }
    return true;
}

// The existing entry of `directory` named `name` in any case, or `name` itself, with
// what is there (not following a link).
struct Match {
    fs::path path;
    fs::file_status status;
};

Match MatchEntry(const fs::path& directory, const std::wstring& name) {
    std::error_code error;
    fs::path exact = directory / Utf8FromWide(name);
    fs::file_status status = fs::symlink_status(exact, error);
    if (fs::exists(status))
        return {exact, status};
    if (std::optional<fs::path> found = FindEntryIgnoringCase(directory, name))
        return {*found, fs::symlink_status(*found, error)};
    return {exact, status};
}

// Whether `path`, a symbolic link, leads to a place under the root; a link that leads
// nowhere is taken as leading out, since writing through it would make its target.
bool LinkStaysInside(const fs::path& path, const fs::path& root) {
    std::error_code error;
    fs::path target = fs::canonical(path, error);
    if (error)
        return false;
    fs::path canonicalRoot = fs::canonical(root, error);
    if (error)
        return false;
    auto [rootEnd, targetEnd] = std::mismatch(canonicalRoot.begin(), canonicalRoot.end(), target.begin(), target.end());
    return rootEnd == canonicalRoot.end();
}

} // namespace

void SetDeviceRoot(const fs::path& root) {
    RootState& state = State();
    std::lock_guard guard(state.lock);
    state.root = root;
    state.chosen = true;
    state.populate = true;
    state.ready = false;
}

void MountDeviceRoot(const fs::path& root) {
    RootState& state = State();
    std::lock_guard guard(state.lock);
    state.root = root;
    state.chosen = true;
    state.populate = false;
    state.ready = false;
}

fs::path DeviceRoot() {
    RootState& state = State();
    std::lock_guard guard(state.lock);
    if (!state.chosen) {
        state.root = DefaultRoot();
        state.chosen = true;
    }
    if (!state.ready) {
        if (state.populate) {
            Populate(state.root, DeviceImage(), false);
            // What the build made (art, sounds) is part of the image too.
            Populate(state.root, GeneratedDeviceImage(), true);
        }
        state.ready = true;
    }
    return state.root;
}

fs::path ProgramDataFolder() {
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    // Installed programs are in bin/ beside share/; the build's own lie a level or two
    // deeper (app/, tests/fuzz/) in a tree laid out the same way.
    for (fs::path folder = program.parent_path(); !folder.empty() && folder != folder.root_path();
         folder = folder.parent_path()) {
        fs::path data = folder.parent_path() / "share" / "quillora";
        if (fs::is_directory(data, error))
            return data;
    }
    return {};
}

fs::path DeviceImage() {
    if (const char* image = std::getenv("QUILLORA_IMAGE"); image && *image)
        return image;
    // Without the program's data there is no image (never a "device" of the working folder).
    fs::path data = ProgramDataFolder();
    return data.empty() ? fs::path() : data / "device";
}

fs::path GeneratedDeviceImage() {
    if (const char* image = std::getenv("QUILLORA_GENERATED_IMAGE"); image && *image)
        return image;
    fs::path data = ProgramDataFolder();
    return data.empty() ? fs::path() : data / "device-generated";
}

std::optional<fs::path> HostPathFromDevice(std::wstring_view devicePath, DWORD* problem) {
    auto refuse = [&](DWORD why) -> std::optional<fs::path> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    // Every name written counts, also one that a ".." after it takes away again.
    for (std::size_t start = 0; start <= devicePath.size();) {
        std::size_t end = std::min(devicePath.find_first_of(L"\\/", start), devicePath.size());
        if (!IsValidComponent(devicePath.substr(start, end - start)))
            return refuse(ERROR_INVALID_NAME);
        start = end + 1;
    }
    std::vector<std::wstring> components = DevicePathComponents(devicePath);
    const fs::path root = DeviceRoot();
    fs::path host = root;
    std::error_code error;
    bool existing = true;
    for (const std::wstring& component : components) {
        if (existing) {
            Match match = MatchEntry(host, component);
            host = std::move(match.path);
            existing = fs::exists(match.status);
            // A link in the root may not lead out of it: the device has no such thing.
            if (fs::is_symlink(match.status) && !LinkStaysInside(host, root))
                return refuse(ERROR_PATH_NOT_FOUND);
        } else {
            host /= Utf8FromWide(component);
        }
    }
    return host;
}

std::vector<std::wstring> DevicePathComponents(std::wstring_view devicePath) {
    std::vector<std::wstring> components;
    std::size_t start = 0;
    while (start <= devicePath.size()) {
        std::size_t end = devicePath.find_first_of(L"\\/", start);
        if (end == std::wstring_view::npos)
            end = devicePath.size();
        std::wstring_view part = devicePath.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == L".")
            continue;
        if (part == L"..") {
            if (!components.empty())
                components.pop_back();
            continue;
        }
        components.emplace_back(part);
    }
    return components;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i])))
            return false;
    }
    return true;
}

} // namespace platform
