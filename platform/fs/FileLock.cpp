#include "platform/fs/FileLock.h"

#include "platform/base/LastError.h"
#include "platform/fs/DeviceRoot.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

FileLock::FileLock(const std::wstring& devicePath) {
    std::optional<std::filesystem::path> host = HostPathFromDevice(devicePath);
    if (!host) {
        SetLastError(ERROR_INVALID_NAME);
        return;
    }
    std::string name = host->string() + ".lock";
    int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        FailWithErrno();
        return;
    }
    int result;
    while ((result = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (result != 0) {
        FailWithErrno();
        ::close(fd);
        return;
    }
    m_fd = fd;
}

FileLock::~FileLock() {
    // Closing the descriptor releases the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace platform
