#pragma once
// The quillora program started as a process of its own, for the tests that drive it.

#include "support/StartProgram.h"
#include "support/TemporaryRoot.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

// A quillora process whose output goes to files in `folder`, where it also runs.
class Program {
public:
    Program(const std::vector<std::string>& arguments, const std::filesystem::path& folder, const std::string& name)
        : m_out(folder / (name + ".out")), m_err(folder / (name + ".err")),
          m_pid(StartProgram(QUILLORA_PROGRAM, arguments, m_out, m_err, folder)) {}
    ~Program() {
        if (m_pid > 0 && !m_status) {
            ::kill(m_pid, SIGKILL);
            Wait();
        }
    }

    // The exit code, or -1 when it did not end by itself within the time.
    int Wait(std::chrono::seconds limit = std::chrono::seconds(60)) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (!m_status) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid)
                m_status = status;
            else if (std::chrono::steady_clock::now() > deadline)
                return -1;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return WIFEXITED(*m_status) ? WEXITSTATUS(*m_status) : -1;
    }
    void Kill() {
        ::kill(m_pid, SIGKILL);
        Wait();
    }
    std::string Out() const { return ReadHostFile(m_out); }
    std::string Err() const { return ReadHostFile(m_err); }

private:
    std::filesystem::path m_out, m_err; // before the process that writes them
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

inline bool WaitForFile(const std::filesystem::path& file, std::chrono::seconds limit = std::chrono::seconds(30)) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!std::filesystem::exists(file)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
