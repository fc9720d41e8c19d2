#include "platform/fs/WholeFile.h"

#include "platform/base/LastError.h"
#include "platform/fs/DeviceRoot.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = EIO;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A new file beside `path` holding the bytes, flushed to the disk; its name, or empty.
std::string WriteTemporary(const fs::path& path, std::string_view bytes, fs::perms permissions) {
    std::string name = path.string() + ".XXXXXX.tmp";
    int fd = ::mkostemps(name.data(), 4, O_CLOEXEC);
    if (fd < 0)
        return {};
    bool written = ::fchmod(fd, static_cast<mode_t>(permissions & fs::perms::mask)) == 0 && WriteAll(fd, bytes) &&
                   ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written)
        return name;
    ::unlink(name.c_str());
    errno = error;
    return {};
}

} // namespace

bool ReplaceHostFile(const fs::path& path, std::string_view bytes, fs::perms permissions) {
    std::string temporary = WriteTemporary(path, bytes, permissions);
    if (temporary.empty())
        return FailWithErrno();
    if (::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    int error = errno;
    ::unlink(temporary.c_str());
    errno = error;
    return FailWithErrno();
}

bool CreateHostFileWhole(const fs::path& path, std::string_view bytes, fs::perms permissions) {
    std::string temporary = WriteTemporary(path, bytes, permissions);
    if (temporary.empty())
        return FailWithErrno();
    // A link fails where a name exists; a rename would silently replace it. File systems
    // without links are asked for a rename that refuses to replace.
    int result = ::link(temporary.c_str(), path.c_str());
    if (result != 0 && (errno == EPERM || errno == ENOTSUP || errno == EOPNOTSUPP))
        result = ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
    int error = errno;
    ::unlink(temporary.c_str());
    errno = error;
    return result == 0 || FailWithErrno();
}

bool ReplaceFileContents(const std::wstring& devicePath, std::string_view bytes) {
    std::optional<fs::path> host = HostPathFromDevice(devicePath);
    if (!host) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    return ReplaceHostFile(*host, bytes);
}

std::optional<std::string> ReadFileContents(const std::wstring& devicePath) {
    std::optional<fs::path> host = HostPathFromDevice(devicePath);
    std::ifstream in(host ? *host : fs::path(), std::ios::binary);
    if (!host || !in)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return bytes;
}

} // namespace platform
