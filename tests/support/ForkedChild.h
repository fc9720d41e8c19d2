#pragma once
// A forked child for the tests of what one process sees of another: killed when the
// test ends however it ends, reporting single bytes through a pipe.

#include <csignal>
#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

class ForkedChild {
public:
    explicit ForkedChild(pid_t pid) : m_pid(pid) {}
    ~ForkedChild() { Kill(); }
    ForkedChild(const ForkedChild&) = delete;
    ForkedChild& operator=(const ForkedChild&) = delete;

    void Kill() {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid;
};

// One byte the child writes, or 0 when it says nothing within `seconds`.
inline char ReadReport(int fd, int seconds = 10) {
    pollfd entry{fd, POLLIN, 0};
    char byte = 0;
    if (::poll(&entry, 1, seconds * 1000) == 1 && ::read(fd, &byte, 1) == 1)
        return byte;
    return 0;
}
