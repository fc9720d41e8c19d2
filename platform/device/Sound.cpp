#include "platform/device/Sound.h"

#include "platform/base/LastError.h"
#include "platform/fs/DeviceRoot.h"

#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

constexpr std::size_t MaximumNoted = 256;

struct SoundLog {
    std::mutex lock;
    std::vector<std::wstring> played;
};

SoundLog& TheSoundLog() {
    static SoundLog log;
    return log;
}

// Starts the first sound player found on the file and reaps it on a thread of its own.
void StartPlayer(const std::string& file) {
    for (const char* player : {"paplay", "aplay"}) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        for (int fd : {0, 1, 2})
            posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
        std::string program = player;
        char* argv[] = {program.data(), const_cast<char*>(file.c_str()), nullptr};
        pid_t pid = 0;
        int result = ::posix_spawnp(&pid, player, &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (result == 0) {
            std::thread([pid] {
                int status = 0;
                while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
                }
            }).detach();
            return;
        }
    }
}

} // namespace

BOOL PlaySoundW(LPCWSTR sound, HMODULE, DWORD) {
    if (!sound || !*sound)
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    auto host = platform::HostPathFromDevice(sound);
    std::error_code error;
    if (!host || !std::filesystem::is_regular_file(*host, error))
        return platform::FailWith(ERROR_FILE_NOT_FOUND);
    {
        SoundLog& log = TheSoundLog();
        std::lock_guard guard(log.lock);
        // Only the latest are kept: a program clicks for as long as it runs.
        if (log.played.size() >= MaximumNoted)
            log.played.erase(log.played.begin());
        log.played.push_back(sound);
    }
    const char* quiet = std::getenv("QUILLORA_NO_SOUND");
    if (!quiet || std::string(quiet) != "1")
        StartPlayer(host->string());
    return TRUE;
}

namespace platform {

std::vector<std::wstring> PlayedSounds() {
    SoundLog& log = TheSoundLog();
    std::lock_guard guard(log.lock);
    return log.played;
}

} // namespace platform
