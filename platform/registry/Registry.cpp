#include "platform/registry/Registry.h"

#include "platform/base/HandleTable.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/fs/WholeFile.h"
#include "platform/registry/RegistryStore.h"

#include <cstring>
#include <cwchar>
#include <fstream>
#include <mutex>
#include <sstream>

namespace fs = std::filesystem;
using platform::HandleKind;
using platform::RegistryStore;
using platform::RegistryValue;

namespace {

class KeyObject : public platform::HandleObject {
public:
    explicit KeyObject(std::wstring path) : HandleObject(HandleKind::RegistryKey), m_path(std::move(path)) {}
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

struct Registry {
    std::mutex lock;
    RegistryStore store;
    fs::path loadedFrom;
    fs::file_time_type loadedTime;
    bool loaded = false;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

fs::path StoreFile() { return platform::DeviceRoot() / "Registry.reg"; }

fs::file_time_type WriteTime(const fs::path& file) {
    std::error_code error;
    return fs::last_write_time(file, error);
}

// Must be called with the lock held. Reloads when the device root has changed or
// another process has replaced the file.
RegistryStore& Store(Registry& registry) {
    fs::path file = StoreFile();
    if (!registry.loaded || file != registry.loadedFrom || WriteTime(file) != registry.loadedTime) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        registry.store = RegistryStore::Parse(text.str());
        registry.loadedFrom = file;
        registry.loadedTime = WriteTime(file);
        registry.loaded = true;
    }
    return registry.store;
}

// Must be called with the lock held.
void Save(Registry& registry) {
    if (platform::ReplaceHostFile(registry.loadedFrom, registry.store.Serialize()))
        registry.loadedTime = WriteTime(registry.loadedFrom);
}

const wchar_t* RootName(HKEY key) {
    if (key == HKEY_CLASSES_ROOT)
        return L"HKEY_CLASSES_ROOT";
    if (key == HKEY_CURRENT_USER)
        return L"HKEY_CURRENT_USER";
    if (key == HKEY_LOCAL_MACHINE)
        return L"HKEY_LOCAL_MACHINE";
    if (key == HKEY_USERS)
        return L"HKEY_USERS";
    return nullptr;
}

// The full path of an open or predefined key, or nothing for a bad handle.
std::optional<std::wstring> KeyPath(HKEY key) {
    if (const wchar_t* root = RootName(key))
        return std::wstring(root);
    auto object = platform::LookupHandleAs<KeyObject>(key, HandleKind::RegistryKey);
    if (!object)
        return std::nullopt;
    return object->Path();
}

std::wstring Join(const std::wstring& path, LPCWSTR subKey) {
    std::wstring joined = path;
    if (!subKey)
        return joined;
    std::wstring_view rest(subKey);
    while (!rest.empty() && rest.front() == L'\\')
        rest.remove_prefix(1);
    while (!rest.empty() && rest.back() == L'\\')
        rest.remove_suffix(1);
    if (!rest.empty())
        joined += L'\\' + std::wstring(rest);
    return joined;
}

HKEY NewHandle(const std::wstring& path) {
    return static_cast<HKEY>(platform::InsertHandle(std::make_shared<KeyObject>(path)));
}

std::vector<BYTE> Normalised(DWORD type, const BYTE* data, DWORD size) {
    std::vector<BYTE> bytes(data, data + size);
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        // Keep the text up to its terminator, and always exactly one terminator.
        std::wstring text(size / sizeof(wchar_t), L'\0');
        if (!text.empty())
            std::memcpy(text.data(), data, text.size() * sizeof(wchar_t));
        text = text.substr(0, text.find(L'\0'));
        bytes.resize((text.size() + 1) * sizeof(wchar_t));
        std::memcpy(bytes.data(), text.c_str(), bytes.size());
    }
    return bytes;
}

} // namespace

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    auto path = KeyPath(key);
    if (!path)
        return ERROR_INVALID_HANDLE;
    std::wstring full = Join(*path, subKey);
    Registry& registry = TheRegistry();
    {
        std::lock_guard guard(registry.lock);
        if (!RootName(key) || full != *path) {
            if (!Store(registry).HasKey(full))
                return ERROR_FILE_NOT_FOUND;
        }
    }
    *result = NewHandle(full);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, LPVOID, PHKEY result,
                     LPDWORD disposition) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    auto path = KeyPath(key);
    if (!path)
        return ERROR_INVALID_HANDLE;
    std::wstring full = Join(*path, subKey);
    // A name the registry file could not hold would be lost, or break the file, at the next save.
    if (!platform::IsStorableKeyPath(full))
        return ERROR_INVALID_PARAMETER;
    Registry& registry = TheRegistry();
    bool created;
    {
        std::lock_guard guard(registry.lock);
        created = Store(registry).CreateKey(full);
        if (created)
            Save(registry);
    }
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle(full);
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, BYTE* data, LPDWORD dataSize) {
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    auto path = KeyPath(key);
    if (!path)
        return ERROR_INVALID_HANDLE;
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    const RegistryValue* value = Store(registry).FindValue(*path, valueName ? valueName : L"");
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    if (!dataSize)
        return ERROR_SUCCESS;
    DWORD available = *dataSize;
    *dataSize = static_cast<DWORD>(value->data.size());
    if (!data)
        return ERROR_SUCCESS;
    if (available < value->data.size())
        return ERROR_MORE_DATA;
    if (!value->data.empty())
        std::memcpy(data, value->data.data(), value->data.size());
    return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
    if (!data && dataSize)
        return ERROR_INVALID_PARAMETER;
    auto path = KeyPath(key);
    if (!path)
        return ERROR_INVALID_HANDLE;
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    Store(registry).SetValue(*path, RegistryValue{valueName ? valueName : L"", type, Normalised(type, data, dataSize)});
    Save(registry);
    return ERROR_SUCCESS;
}

LONG RegDeleteValueW(HKEY key, LPCWSTR valueName) {
    auto path = KeyPath(key);
    if (!path)
        return ERROR_INVALID_HANDLE;
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    if (!Store(registry).DeleteValue(*path, valueName ? valueName : L""))
        return ERROR_FILE_NOT_FOUND;
    Save(registry);
    return ERROR_SUCCESS;
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
    if (!subKey)
        return ERROR_INVALID_PARAMETER;
    auto path = KeyPath(key);
    if (!path)
        return ERROR_INVALID_HANDLE;
    std::wstring full = Join(*path, subKey);
    // An empty sub-key would name the key itself, or a whole root.
    if (full == *path)
        return ERROR_INVALID_PARAMETER;
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    if (!Store(registry).DeleteKey(full))
        return ERROR_FILE_NOT_FOUND;
    Save(registry);
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD, LPWSTR keyClass,
                   LPDWORD classLength, FILETIME* lastWriteTime) {
    if (!name || !nameLength)
        return ERROR_INVALID_PARAMETER;
    auto path = KeyPath(key);
    if (!path)
        return ERROR_INVALID_HANDLE;
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    auto subKey = Store(registry).SubKeyName(*path, index);
    if (!subKey)
        return ERROR_NO_MORE_ITEMS;
    if (*nameLength <= subKey->size())
        return ERROR_MORE_DATA;
    std::wmemcpy(name, subKey->c_str(), subKey->size() + 1);
    *nameLength = static_cast<DWORD>(subKey->size());
    if (keyClass && classLength && *classLength)
        keyClass[0] = L'\0';
    if (classLength)
        *classLength = 0;
    if (lastWriteTime)
        *lastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (RootName(key))
        return ERROR_SUCCESS;
    return platform::RemoveHandle(key, HandleKind::RegistryKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
