#pragma once
// Starting threads and the device's programs. A thread gets the stack size it asks
// for (the system's default for 0), so that code meant for a given stack is tested on
// it; its handle is waited on like a process's.
//
// Starting the device's programs. The program is a device path, mapped into the
// device root; the command line reaches it unchanged as its one argument. The
// program's standard streams are /dev/null, as a device program has no console. Every
// started process is reaped by a thread of its own, so nobody has to wait for it; its
// process handle, when asked for, can be waited on from any thread.

#include "platform/base/HandleTable.h" // CloseHandle
#include "platform/base/Win32Types.h"

#include <cstddef>

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};

constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD STILL_ACTIVE = 259;

BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, LPVOID processAttributes, LPVOID threadAttributes,
                    BOOL inheritHandles, DWORD creationFlags, LPVOID environment, LPCWSTR currentDirectory,
                    LPVOID startupInfo, PROCESS_INFORMATION* processInformation);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);
HANDLE CreateThread(LPVOID threadAttributes, std::size_t stackSize, LPTHREAD_START_ROUTINE startAddress,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
