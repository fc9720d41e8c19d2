#include "platform/device/MessageQueue.h"

#include "platform/base/LastError.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using platform::HandleKind;

namespace {

struct Message {
    std::vector<char> bytes;
    DWORD flags;
};

// One queue, shared by its handles. All fields are guarded by the registry's lock.
struct Queue {
    std::wstring name; // empty: unnamed
    DWORD flags;
    DWORD maxMessages;
    DWORD maxMessage;
    std::deque<Message> messages;
    int readers = 0;
    int writers = 0;
};

struct Registry {
    std::mutex lock;
    std::condition_variable changed;
    std::map<std::wstring, std::weak_ptr<Queue>> named;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

class QueueEnd : public platform::HandleObject {
public:
    QueueEnd(std::shared_ptr<Queue> queue, bool reads)
        : HandleObject(HandleKind::MessageQueue), m_queue(std::move(queue)), m_reads(reads) {
        std::lock_guard guard(TheRegistry().lock);
        ++(m_reads ? m_queue->readers : m_queue->writers);
    }
    ~QueueEnd() override {
        Registry& registry = TheRegistry();
        {
            std::lock_guard guard(registry.lock);
            --(m_reads ? m_queue->readers : m_queue->writers);
        }
        // A peer waiting on this end learns that the queue is broken now.
        registry.changed.notify_all();
    }
    Queue& Shared() { return *m_queue; }
    bool Reads() const { return m_reads; }

private:
    std::shared_ptr<Queue> m_queue;
    bool m_reads;
};

bool Broken(const Queue& queue, bool forReader) {
    return (queue.flags & MSGQUEUE_ALLOW_BROKEN) && (forReader ? queue.writers == 0 : queue.readers == 0);
}

// Waits on the registry's condition until `ready` or the timeout; true when ready.
template <class Ready> bool WaitFor(std::unique_lock<std::mutex>& guard, DWORD timeout, Ready ready) {
    Registry& registry = TheRegistry();
    if (timeout == INFINITE) {
        registry.changed.wait(guard, ready);
        return true;
    }
    return registry.changed.wait_for(guard, std::chrono::milliseconds(timeout), ready);
}

} // namespace

HANDLE CreateMsgQueue(LPCWSTR name, const MSGQUEUEOPTIONS* options) {
    if (!options || options->dwSize != sizeof(MSGQUEUEOPTIONS) || options->cbMaxMessage == 0)
        return platform::FailWith<HANDLE>(ERROR_INVALID_PARAMETER, nullptr);
    Registry& registry = TheRegistry();
    std::shared_ptr<Queue> queue;
    DWORD error = ERROR_SUCCESS;
    {
        std::lock_guard guard(registry.lock);
        std::erase_if(registry.named, [](const auto& entry) { return entry.second.expired(); });
        if (name && *name) {
            queue = registry.named[name].lock();
            error = queue ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
        }
        if (!queue) {
            queue = std::make_shared<Queue>(
                Queue{name ? name : L"", options->dwFlags, options->dwMaxMessages, options->cbMaxMessage, {}});
            if (name && *name)
                registry.named[name] = queue;
        }
    }
    HANDLE handle = platform::InsertHandle(std::make_shared<QueueEnd>(queue, options->bReadAccess != FALSE));
    registry.changed.notify_all();
    SetLastError(error);
    return handle;
}

BOOL WriteMsgQueue(HANDLE handle, LPCVOID buffer, DWORD size, DWORD timeout, DWORD flags) {
    auto end = platform::LookupHandleAs<QueueEnd>(handle, HandleKind::MessageQueue);
    if (!end)
        return FALSE;
    if (end->Reads() || (!buffer && size))
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    Queue& queue = end->Shared();
    std::unique_lock guard(TheRegistry().lock);
    if (size > queue.maxMessage)
        return platform::FailWith(ERROR_INSUFFICIENT_BUFFER);
    auto room = [&] {
        return Broken(queue, false) || queue.maxMessages == 0 || queue.messages.size() < queue.maxMessages;
    };
    if (!WaitFor(guard, timeout, room))
        return platform::FailWith(ERROR_TIMEOUT);
    if (Broken(queue, false))
        return platform::FailWith(ERROR_PIPE_NOT_CONNECTED);
    const char* bytes = static_cast<const char*>(buffer);
    queue.messages.push_back({std::vector<char>(bytes, bytes + size), flags});
    guard.unlock();
    TheRegistry().changed.notify_all();
    return TRUE;
}

BOOL ReadMsgQueue(HANDLE handle, LPVOID buffer, DWORD bufferSize, LPDWORD read, DWORD timeout, DWORD* flags) {
    auto end = platform::LookupHandleAs<QueueEnd>(handle, HandleKind::MessageQueue);
    if (!end)
        return FALSE;
    if (!end->Reads() || !read || (!buffer && bufferSize))
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    Queue& queue = end->Shared();
    std::unique_lock guard(TheRegistry().lock);
    if (!WaitFor(guard, timeout, [&] { return !queue.messages.empty() || Broken(queue, true); }))
        return platform::FailWith(ERROR_TIMEOUT);
    if (queue.messages.empty())
        return platform::FailWith(ERROR_PIPE_NOT_CONNECTED);
    Message& message = queue.messages.front();
    if (message.bytes.size() > bufferSize)
        return platform::FailWith(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, message.bytes.data(), message.bytes.size());
    *read = static_cast<DWORD>(message.bytes.size());
    if (flags)
        *flags = message.flags;
    queue.messages.pop_front();
    guard.unlock();
    TheRegistry().changed.notify_all();
    return TRUE;
}

BOOL CloseMsgQueue(HANDLE handle) { return platform::RemoveHandle(handle, HandleKind::MessageQueue) ? TRUE : FALSE; }
