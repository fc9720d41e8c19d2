#include "toolkit/ShellNotify.h"

#include "platform/base/DebugOutput.h"
#include "platform/device/MessageQueue.h"
#include "platform/window/WindowApi.h"

#include <mutex>

namespace {

// The queue's write end, opened on first use; the lock also makes each write whole.
struct ShellQueue {
    std::mutex lock;
    HANDLE handle = nullptr;
};

// Never destroyed: message boxes on worker threads may still announce themselves at exit.
ShellQueue& TheShellQueue() {
    static ShellQueue& queue = *new ShellQueue;
    return queue;
}

bool Write(HWND window, std::uint32_t kind, DWORD value) {
    if (!window)
        return false;
    ShellQueue& queue = TheShellQueue();
    std::lock_guard guard(queue.lock);
    if (!queue.handle) {
        MSGQUEUEOPTIONS options{sizeof(MSGQUEUEOPTIONS), MSGQUEUE_ALLOW_BROKEN, 16, sizeof(ShellNotifyMessage), FALSE};
        queue.handle = CreateMsgQueue(ShellNotifyQueueName, &options);
        if (!queue.handle) {
            NKDbgPrintfW(L"Cannot open Shell Notify message queue!\n");
            return false;
        }
    }
    ShellNotifyMessage message{kind, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window)), value};
    return WriteMsgQueue(queue.handle, &message, sizeof message, 0, 0) != FALSE;
}

} // namespace

bool ShellNotifyRegister(HWND window, DWORD value) { return Write(window, ShellNotifyKindRegister, value); }

bool ShellNotifyUnregister(HWND window, DWORD value) { return Write(window, ShellNotifyKindUnregister, value); }

UINT CallMessageId() { return RegisterWindowMessageW(L"CALL_MESSAGE"); }

// Function-local statics are initialised once, whichever thread asks first.
UINT LockphoneMessageId() {
    static const UINT id = RegisterWindowMessageW(L"ShellNotifyMsg/EntryLockphone");
    return id;
}

UINT ShutDownMessageId() {
    static const UINT id = RegisterWindowMessageW(L"ShellNotifyMsg/EntryShutDown");
    return id;
}

UINT MusicMessageId() {
    static const UINT id = RegisterWindowMessageW(L"ShellNotifyMsg/EntryMusic");
    return id;
}
