#pragma once
// Process-wide table of the handles the platform layer hands out (files, searches,
// internet handles, registry keys, processes, ...). Thread-safe. Handle values are
// never reused, so a stale handle is always detected: lookups of unknown handles or of
// handles of another kind set ERROR_INVALID_HANDLE and return null. An object lives as
// long as its handle or any caller still holding the shared pointer from a lookup.

#include "platform/base/Win32Types.h"

#include <cstdint>
#include <initializer_list>
#include <memory>

namespace platform {

enum class HandleKind {
    File,
    FindSearch,
    Internet,
    RegistryKey,
    Process,
    Mutex,
    DeviceContext,
    GdiObject,
    MessageQueue,
    Module,
};

class HandleObject {
public:
    explicit HandleObject(HandleKind kind) : m_kind(kind) {}
    virtual ~HandleObject() = default;
    HandleObject(const HandleObject&) = delete;
    HandleObject& operator=(const HandleObject&) = delete;

    HandleKind Kind() const { return m_kind; }

private:
    friend HANDLE InsertHandle(std::shared_ptr<HandleObject> object);
    friend HANDLE HandleFor(const std::shared_ptr<HandleObject>& object);
    HandleKind m_kind;
    HANDLE m_handle = nullptr; // the handle it was last inserted under
};

HANDLE InsertHandle(std::shared_ptr<HandleObject> object);
// A value from the same space for handles kept in a table of their own (windows), so
// that no window ever equals a file, device context or other handle.
std::uintptr_t NewHandleValue();
std::shared_ptr<HandleObject> LookupHandle(HANDLE handle, HandleKind kind);
// The object's handle; an object whose handle was removed gets a new one.
HANDLE HandleFor(const std::shared_ptr<HandleObject>& object);
// Removes the handle if it is of one of `kinds`; the object is destroyed once the last
// lookup result is gone.
bool RemoveHandle(HANDLE handle, std::initializer_list<HandleKind> kinds);
inline bool RemoveHandle(HANDLE handle, HandleKind kind) { return RemoveHandle(handle, {kind}); }

template <class T> std::shared_ptr<T> LookupHandleAs(HANDLE handle, HandleKind kind) {
    return std::static_pointer_cast<T>(LookupHandle(handle, kind));
}

} // namespace platform

// Closes a file, process or mutex handle; other kinds have their own close calls.
BOOL CloseHandle(HANDLE handle);
