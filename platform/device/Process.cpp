#include "platform/device/Process.h"

#include "platform/base/HandleTable.h"
#include "platform/base/LastError.h"
#include "platform/base/Utf8.h"
#include "platform/fs/DeviceRoot.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using platform::HandleKind;

namespace {

// What the reaper thread learns and the waiters read.
struct ProcessState {
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
    DWORD exitCode = STILL_ACTIVE;
};

class ProcessObject : public platform::HandleObject {
public:
    explicit ProcessObject(std::shared_ptr<ProcessState> state)
        : HandleObject(HandleKind::Process), m_state(std::move(state)) {}
    ProcessState& State() { return *m_state; }

private:
    std::shared_ptr<ProcessState> m_state;
};

// Why a host file cannot be started as a program, or ERROR_SUCCESS.
DWORD CheckProgram(const std::filesystem::path& program) {
    struct stat info {};
    if (::stat(program.c_str(), &info) != 0) {
        std::error_code error;
        return std::filesystem::is_directory(program.parent_path(), error) ? ERROR_FILE_NOT_FOUND
                                                                           : ERROR_PATH_NOT_FOUND;
    }
    if (S_ISDIR(info.st_mode))
        return ERROR_ACCESS_DENIED;
    if (!(info.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)))
        return ERROR_BAD_EXE_FORMAT;
    return ERROR_SUCCESS;
}

void Reap(pid_t pid, std::shared_ptr<ProcessState> state) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    std::lock_guard guard(state->lock);
    state->exitCode = WIFEXITED(status) ? static_cast<DWORD>(WEXITSTATUS(status)) : 1;
    state->done = true;
    state->ended.notify_all();
}

} // namespace

BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, LPVOID, LPVOID, BOOL, DWORD, LPVOID, LPCWSTR, LPVOID,
                    PROCESS_INFORMATION* processInformation) {
    if (!applicationName || !*applicationName)
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    auto program = platform::HostPathFromDevice(applicationName);
    if (!program)
        return platform::FailWith(ERROR_INVALID_NAME);
    if (DWORD error = CheckProgram(*program))
        return platform::FailWith(error);

    std::string path = program->string();
    std::string argument = commandLine ? platform::Utf8FromWide(commandLine) : std::string();
    char* argv[] = {path.data(), argument.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1, 2})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    pid_t pid = 0;
    int result = ::posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0)
        return platform::FailWith(platform::Win32ErrorFromErrno(result));

    auto state = std::make_shared<ProcessState>();
    std::thread(Reap, pid, state).detach();
    if (processInformation) {
        processInformation->hProcess = platform::InsertHandle(std::make_shared<ProcessObject>(state));
        processInformation->hThread = platform::InsertHandle(std::make_shared<ProcessObject>(state));
        processInformation->dwProcessId = static_cast<DWORD>(pid);
        processInformation->dwThreadId = static_cast<DWORD>(pid);
    }
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    auto process = platform::LookupHandleAs<ProcessObject>(handle, HandleKind::Process);
    if (!process)
        return WAIT_FAILED;
    ProcessState& state = process->State();
    std::unique_lock guard(state.lock);
    if (milliseconds == INFINITE) {
        state.ended.wait(guard, [&] { return state.done; });
        return WAIT_OBJECT_0;
    }
    bool done = state.ended.wait_for(guard, std::chrono::milliseconds(milliseconds), [&] { return state.done; });
    return done ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

namespace {

struct ThreadStart {
    LPTHREAD_START_ROUTINE routine;
    LPVOID parameter;
    std::shared_ptr<ProcessState> state;
};

void* RunThread(void* argument) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(argument));
    DWORD exitCode = start->routine(start->parameter);
    std::lock_guard guard(start->state->lock);
    start->state->exitCode = exitCode;
    start->state->done = true;
    start->state->ended.notify_all();
    return nullptr;
}

} // namespace

HANDLE CreateThread(LPVOID, std::size_t stackSize, LPTHREAD_START_ROUTINE startAddress, LPVOID parameter, DWORD,
                    LPDWORD threadId) {
    if (!startAddress)
        return platform::FailWith<HANDLE>(ERROR_INVALID_PARAMETER, nullptr);
    auto state = std::make_shared<ProcessState>();
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (stackSize > 0 && pthread_attr_setstacksize(&attributes, std::max<std::size_t>(stackSize, PTHREAD_STACK_MIN))) {
        pthread_attr_destroy(&attributes);
        return platform::FailWith<HANDLE>(ERROR_INVALID_PARAMETER, nullptr);
    }
    auto start = std::make_unique<ThreadStart>(ThreadStart{startAddress, parameter, state});
    pthread_t thread;
    int result = ::pthread_create(&thread, &attributes, &RunThread, start.get());
    pthread_attr_destroy(&attributes);
    if (result != 0)
        return platform::FailWith<HANDLE>(platform::Win32ErrorFromErrno(result), nullptr);
    start.release(); // the thread owns it now
    static std::atomic<DWORD> nextId{1};
    if (threadId)
        *threadId = nextId++;
    return platform::InsertHandle(std::make_shared<ProcessObject>(state));
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode) { return GetExitCodeProcess(thread, exitCode); }

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
    auto object = platform::LookupHandleAs<ProcessObject>(process, HandleKind::Process);
    if (!object)
        return FALSE;
    if (!exitCode)
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    std::lock_guard guard(object->State().lock);
    *exitCode = object->State().exitCode;
    return TRUE;
}
