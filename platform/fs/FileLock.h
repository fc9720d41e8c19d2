#pragma once
// An advisory lock between processes (and threads) on a device file, held for one
// scope: it locks the file "<name>.lock" beside it, which is made when missing and
// left in place. Whoever reads, changes and replaces the file under this lock loses
// no other writer's update. Readers need no lock: the file is replaced whole.

#include <string>

namespace platform {

class FileLock {
public:
    // Waits for the lock, five seconds at most; IsHeld is false when the lock file cannot
    // be made or another holder keeps it longer (ERROR_LOCK_VIOLATION).
    explicit FileLock(const std::wstring& devicePath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool IsHeld() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace platform
