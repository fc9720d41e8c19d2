#pragma once
// Point-to-point message queues between threads: named queues shared by every handle
// that names them, each handle a read end or a write end. A queue lives while a handle
// to it is open. With MSGQUEUE_ALLOW_BROKEN a queue is broken while it has no reader
// (for a writer) or no writer (for a reader): those calls fail with
// ERROR_PIPE_NOT_CONNECTED instead of waiting for a peer that is not there.
// Thread-safe.

#include "platform/base/HandleTable.h" // the handles
#include "platform/base/Win32Types.h"

struct MSGQUEUEOPTIONS {
    DWORD dwSize; // must be sizeof(MSGQUEUEOPTIONS), 20
    DWORD dwFlags;
    DWORD dwMaxMessages; // 0: no limit
    DWORD cbMaxMessage;
    BOOL bReadAccess;
};

constexpr DWORD MSGQUEUE_NOPRECOMMIT = 1;
constexpr DWORD MSGQUEUE_ALLOW_BROKEN = 2;
constexpr DWORD MSGQUEUE_MSGALERT = 1;

// Opens the named queue (made with these options when it does not exist yet; then the
// last error is 0, else ERROR_ALREADY_EXISTS), or a queue of its own for a null name.
HANDLE CreateMsgQueue(LPCWSTR name, const MSGQUEUEOPTIONS* options);
// Timeouts in milliseconds, INFINITE (0xFFFFFFFF) to wait for good; 0 does not wait.
BOOL WriteMsgQueue(HANDLE queue, LPCVOID buffer, DWORD size, DWORD timeout, DWORD flags);
BOOL ReadMsgQueue(HANDLE queue, LPVOID buffer, DWORD bufferSize, LPDWORD read, DWORD timeout, DWORD* flags);
BOOL CloseMsgQueue(HANDLE queue);
