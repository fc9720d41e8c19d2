#include "platform/device/Mutex.h"

#include "platform/base/LastError.h"
#include "platform/base/Utf8.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/fs/FileLock.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

using platform::HandleKind;

namespace {

// What every handle to one mutex in this process shares. For a named mutex the
// descriptor is the process's hold on the name: it closes with the last handle.
struct MutexState {
    MutexState() = default;
    explicit MutexState(int descriptor) : fd(descriptor) {}
    ~MutexState() {
        if (fd >= 0)
            ::close(fd);
    }
    MutexState(const MutexState&) = delete;
    MutexState& operator=(const MutexState&) = delete;

    int fd = -1;
    std::mutex lock;
    std::thread::id owner; // no thread's id while nobody owns it
};

class MutexObject : public platform::HandleObject {
public:
    explicit MutexObject(std::shared_ptr<MutexState> state)
        : HandleObject(HandleKind::Mutex), m_state(std::move(state)) {}
    MutexState& State() { return *m_state; }

private:
    std::shared_ptr<MutexState> m_state;
};

// The names this process holds, by their file. A second handle to a name shares the
// first one's hold, so the process holds each name once however many handles it has.
struct Registry {
    std::mutex lock;
    std::map<std::string, std::weak_ptr<MutexState>> named;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

// The file that stands for a name. Escaping rather than replacing keeps "a/b", "a\b"
// and "a_b" three names, and no name can become "." or "..".
std::string FileNameFor(std::wstring_view name) {
    std::string file;
    for (unsigned char c : platform::Utf8FromWide(name)) {
        if (c == '/' || c == '\\' || c == '%' || c < 0x20 || c == 0x7F) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            file += escaped;
        } else {
            file += static_cast<char>(c);
        }
    }
    if (file == ".")
        return "%2E";
    if (file == "..")
        return "%2E%2E";
    return file;
}

// Takes this process's hold on a name and tells whether it is new: nobody else holds
// the name when its file can be locked exclusively.
std::shared_ptr<MutexState> HoldName(const std::filesystem::path& file, bool& isNew) {
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    // flock turns an exclusive lock into a shared one by dropping it and locking again;
    // another creator slipping into that gap would find the name new as well.
    platform::FileLock gate(L"\\.names");
    if (!gate.IsHeld())
        return nullptr;
    int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        platform::FailWithErrno();
        return nullptr;
    }
    auto state = std::make_shared<MutexState>(fd);
    int exclusive;
    while ((exclusive = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (exclusive != 0 && errno != EWOULDBLOCK) {
        platform::FailWithErrno();
        return nullptr;
    }
    isNew = exclusive == 0;
    // Only creators behind the gate ever lock a name's file exclusively, so the shared
    // lock never has anyone to wait for.
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        platform::FailWithErrno();
        return nullptr;
    }
    return state;
}

} // namespace

HANDLE CreateMutexW(LPVOID, BOOL initialOwner, LPCWSTR name) {
    std::shared_ptr<MutexState> state;
    DWORD error = ERROR_SUCCESS;
    if (name && *name) {
        std::string file = (platform::DeviceRoot() / ".names" / FileNameFor(name)).string();
        Registry& registry = TheRegistry();
        std::lock_guard guard(registry.lock);
        std::erase_if(registry.named, [](const auto& entry) { return entry.second.expired(); });
        if (auto held = registry.named.find(file); held != registry.named.end())
            state = held->second.lock();
        if (state) {
            error = ERROR_ALREADY_EXISTS;
        } else {
            bool isNew = false;
            state = HoldName(file, isNew);
            if (!state)
                return nullptr;
            error = isNew ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS;
            registry.named[file] = state;
        }
    } else {
        state = std::make_shared<MutexState>();
    }
    if (initialOwner && error == ERROR_SUCCESS) {
        std::lock_guard guard(state->lock);
        state->owner = std::this_thread::get_id();
    }
    HANDLE handle = platform::InsertHandle(std::make_shared<MutexObject>(state));
    SetLastError(error);
    return handle;
}

BOOL ReleaseMutex(HANDLE handle) {
    auto mutex = platform::LookupHandleAs<MutexObject>(handle, HandleKind::Mutex);
    if (!mutex)
        return FALSE;
    MutexState& state = mutex->State();
    std::lock_guard guard(state.lock);
    if (state.owner != std::this_thread::get_id())
        return platform::FailWith(ERROR_NOT_OWNER);
    state.owner = std::thread::id();
    return TRUE;
}
