#pragma once
// Named mutexes, as a program uses them to learn that another copy of it runs. A name
// exists for every process on the same device root while any of them holds an open
// handle to it, owned or not. ReleaseMutex gives up ownership, not the name; a process
// lets go of a name when it closes its last handle to it, or when it ends, however it
// ends. Ownership is kept within the process: nobody waits on these mutexes, so which
// thread elsewhere owns one matters to no one. Thread-safe.
//
// A name is a file in the device root's hidden folder ".names" that every holding
// process keeps a shared lock on; the kernel drops the lock with the process.

#include "platform/base/HandleTable.h" // CloseHandle
#include "platform/base/Win32Types.h"

constexpr DWORD ERROR_NOT_OWNER = 288;

// A handle to the named mutex, made when the name is new (the last error is then 0,
// else ERROR_ALREADY_EXISTS); `initialOwner` makes the calling thread own a mutex it
// made, never one that existed. A null or empty name makes a mutex of its own. Null on
// failure.
HANDLE CreateMutexW(LPVOID securityAttributes, BOOL initialOwner, LPCWSTR name);
// FALSE with ERROR_NOT_OWNER unless the calling thread owns the mutex.
BOOL ReleaseMutex(HANDLE mutex);
