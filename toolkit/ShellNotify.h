#pragma once
// The two channels between the toolkit's pop-ups and the device shell: announcing a
// window to the shell (and withdrawing it) through the shell's message queue, and the
// registered messages by which the shell's events reach a window. Callable from any
// thread: pop-ups run on worker threads and dialog threads as well as the user-interface
// thread, so the queue handle and the cached message numbers are guarded.

#include "platform/base/Win32Types.h"

constexpr const wchar_t* ShellNotifyQueueName = L"QueueNameOfShellNotifyMessage";

// One message on the queue: three 32-bit words.
struct ShellNotifyMessage {
    std::uint32_t kind; // ShellNotifyKindRegister or ShellNotifyKindUnregister
    std::uint32_t window;
    std::uint32_t value;
};
static_assert(sizeof(ShellNotifyMessage) == 12);

constexpr std::uint32_t ShellNotifyKindRegister = 1;
constexpr std::uint32_t ShellNotifyKindUnregister = 2;

// False for a null window, or when the shell's queue cannot take the message (no
// shell reads it, or it is full): the caller goes on as if the shell had been told.
bool ShellNotifyRegister(HWND window, DWORD value);
bool ShellNotifyUnregister(HWND window, DWORD value);

// "CALL_MESSAGE", asked anew each time; the other three are asked once and kept.
UINT CallMessageId();
UINT LockphoneMessageId();
UINT ShutDownMessageId();
UINT MusicMessageId();
