#include "platform/base/HandleTable.h"

#include "platform/base/LastError.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

namespace platform {
namespace {

struct Table {
    std::mutex lock;
    std::unordered_map<std::uintptr_t, std::shared_ptr<HandleObject>> objects;
    // Multiples of 4 like the device's handles; small values stay free so that
    // null and the predefined registry keys never collide with a real handle.
    std::uintptr_t next = 0x1000;
};

Table& TheTable() {
    static Table table;
    return table;
}

} // namespace

std::uintptr_t NewHandleValue() {
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    std::uintptr_t value = table.next;
    table.next += 4;
    return value;
}

HANDLE InsertHandle(std::shared_ptr<HandleObject> object) {
    std::uintptr_t value = NewHandleValue();
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    object->m_handle = reinterpret_cast<HANDLE>(value);
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

HANDLE HandleFor(const std::shared_ptr<HandleObject>& object) {
    if (!object)
        return nullptr;
    {
        Table& table = TheTable();
        std::lock_guard guard(table.lock);
        auto found = table.objects.find(reinterpret_cast<std::uintptr_t>(object->m_handle));
        if (found != table.objects.end() && found->second == object)
            return object->m_handle;
    }
    return InsertHandle(object);
}

std::shared_ptr<HandleObject> LookupHandle(HANDLE handle, HandleKind kind) {
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    auto found = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == table.objects.end() || found->second->Kind() != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return found->second;
}

bool RemoveHandle(HANDLE handle, std::initializer_list<HandleKind> kinds) {
    std::shared_ptr<HandleObject> removed;
    Table& table = TheTable();
    {
        std::lock_guard guard(table.lock);
        auto found = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
        if (found == table.objects.end() ||
            std::find(kinds.begin(), kinds.end(), found->second->Kind()) == kinds.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        removed = std::move(found->second);
        table.objects.erase(found);
    }
    // `removed` dies here, outside the lock: an object's destructor may close other handles.
    return true;
}

} // namespace platform

BOOL CloseHandle(HANDLE handle) {
    using platform::HandleKind;
    return platform::RemoveHandle(handle, {HandleKind::File, HandleKind::Process, HandleKind::Mutex}) ? TRUE : FALSE;
}
