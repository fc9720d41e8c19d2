#pragma once
// A program started as a process of its own for a test, its standard output and error
// going to files (so that a large output cannot block it).

#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

// Starts `program` with `arguments`, in `folder` when one is given; the process id.
inline pid_t StartProgram(const char* program, const std::vector<std::string>& arguments,
                          const std::filesystem::path& out, const std::filesystem::path& err,
                          const std::filesystem::path& folder = {}) {
    pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    if (!folder.empty() && ::chdir(folder.c_str()) != 0)
        ::_exit(126);
    ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(program, argv.data());
    ::_exit(127);
}
