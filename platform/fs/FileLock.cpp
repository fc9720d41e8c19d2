#include "platform/fs/FileLock.h"

#include "platform/base/LastError.h"
#include "platform/fs/DeviceRoot.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {
constexpr std::chrono::seconds LockPatience{5};
} // namespace

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
    // A writer holds the lock for one read and one rename; one that holds it for seconds
    // is stuck, and waiting for it would freeze the caller (the user-interface thread).
    auto giveUp = std::chrono::steady_clock::now() + LockPatience;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > giveUp) {
            if (errno == EWOULDBLOCK)
                SetLastError(ERROR_LOCK_VIOLATION);
            else
                FailWithErrno();
            ::close(fd);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    m_fd = fd;
}

FileLock::~FileLock() {
    // Closing the descriptor releases the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace platform
