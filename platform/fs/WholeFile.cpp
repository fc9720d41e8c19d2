#include "platform/fs/WholeFile.h"

#include "platform/base/LastError.h"
#include "platform/fs/DeviceRoot.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
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
    bool written = ::fchmod(fd, static_cast<mode_t>(permissions)) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = errno;
    written = ::close(fd) == 0 && written;
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
    // A link fails where a name exists; a rename would silently replace it.
    int result = ::link(temporary.c_str(), path.c_str());
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

} // namespace platform
