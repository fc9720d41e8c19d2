#pragma once
// The registry's contents and their text form. Not thread-safe by itself: the
// registry calls hold one lock around every use.

#include "platform/base/Win32Types.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Whether the registry file can hold a key of this path: a line of its own between
// brackets, so no line breaks or other control characters.
bool IsStorableKeyPath(const std::wstring& path);

struct RegistryValue {
    std::wstring name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

class RegistryStore {
public:
    bool HasKey(const std::wstring& path) const;
    // Creates the key and its missing parents; true when the key is new.
    bool CreateKey(const std::wstring& path);
    const RegistryValue* FindValue(const std::wstring& path, const std::wstring& name) const;
    void SetValue(const std::wstring& path, RegistryValue value);
    bool DeleteValue(const std::wstring& path, const std::wstring& name);
    // Deletes the key and every key below it; false when there is no such key.
    bool DeleteKey(const std::wstring& path);
    std::optional<std::wstring> SubKeyName(const std::wstring& path, std::size_t index) const;

    std::string Serialize() const;
    static RegistryStore Parse(const std::string& text);

private:
    struct Key {
        std::wstring path;
        std::vector<RegistryValue> values;
    };
    static std::wstring Fold(const std::wstring& text);

    std::map<std::wstring, Key> m_keys; // by case-folded path
};

} // namespace platform
