#include "app/FlyMode.h"

#include "app/RegistryKeyGuard.h"
#include "platform/base/DebugOutput.h"
#include "platform/device/MessageQueue.h"

#include <array>
#include <cstring>

namespace {

constexpr const wchar_t* FlyModeKey = L"ControlPanel\\Setting\\FlyMode";
constexpr const wchar_t* FlyModeValue = L"FlyModeFlag";
constexpr DWORD ShellQueueLength = 8;

class QueueGuard {
public:
    explicit QueueGuard(HANDLE queue) : m_queue(queue) {}
    ~QueueGuard() {
        if (m_queue)
            CloseMsgQueue(m_queue);
    }
    QueueGuard(const QueueGuard&) = delete;
    QueueGuard& operator=(const QueueGuard&) = delete;
    HANDLE Get() const { return m_queue; }

private:
    HANDLE m_queue;
};

bool OpenOrCreate(RegistryKeyGuard& key) {
    return RegCreateKeyExW(HKEY_CURRENT_USER, FlyModeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Out(), nullptr) ==
           ERROR_SUCCESS;
}

} // namespace

bool IsFlyMode() {
    DWORD flag = 0;
    bool read = false;
    {
        RegistryKeyGuard key;
        read = OpenOrCreate(key) && key.ReadNumber(FlyModeValue, flag);
    }
    if (!read) {
        SetFlyMode(false);
        return false;
    }
    return flag != 0;
}

bool SetFlyMode(bool on) {
    {
        RegistryKeyGuard key;
        DWORD flag = on ? 1 : 0;
        if (OpenOrCreate(key))
            RegSetValueExW(key.Get(), FlyModeValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&flag), sizeof flag);
    }
    // With no shell reading the queue the write fails; the stored flag stands all the same.
    MSGQUEUEOPTIONS options{sizeof(MSGQUEUEOPTIONS), MSGQUEUE_ALLOW_BROKEN, ShellQueueLength, FlyModeMessageSize,
                            FALSE};
    QueueGuard queue(CreateMsgQueue(FlyModeQueueName, &options));
    if (!queue.Get()) {
        NKDbgPrintfW(L"Don't open the message queue\n");
        return false;
    }
    std::array<BYTE, FlyModeMessageSize> message{};
    std::uint32_t kind = FlyModeMessageKind, state = on ? 1 : 0;
    std::memcpy(message.data(), &kind, sizeof kind);
    std::memcpy(message.data() + FlyModeStateOffset, &state, sizeof state);
    WriteMsgQueue(queue.Get(), message.data(), static_cast<DWORD>(message.size()), 0, 0);
    return true;
}
