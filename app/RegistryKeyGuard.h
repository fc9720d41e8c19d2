#pragma once
// An open key of the device's registry, closed when the guard goes. The network
// services open the device's own keys with the registry calls themselves, into Out(),
// in the order the device expects them.

#include "platform/registry/Registry.h"

class RegistryKeyGuard {
public:
    RegistryKeyGuard() = default;
    ~RegistryKeyGuard() {
        if (m_key)
            RegCloseKey(m_key);
    }
    RegistryKeyGuard(const RegistryKeyGuard&) = delete;
    RegistryKeyGuard& operator=(const RegistryKeyGuard&) = delete;

    // Where an open or create call puts the key (the calls leave null there on failure).
    PHKEY Out() { return &m_key; }
    HKEY Get() const { return m_key; }

    // Reads four bytes of the value into `value`; false, and `value` untouched, when the
    // read fails.
    bool ReadNumber(LPCWSTR name, DWORD& value) const {
        DWORD read = 0, size = sizeof read;
        if (!m_key ||
            RegQueryValueExW(m_key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&read), &size) != ERROR_SUCCESS)
            return false;
        value = read;
        return true;
    }

private:
    HKEY m_key = nullptr;
};
