#pragma once
// An owning pointer to a COM interface: it gives its reference back when it goes or is
// given another. For the platform's own code and its tests.

#include "platform/com/Com.h"

#include <utility>

template <class Interface> class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer() { Reset(); }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    ComPointer(ComPointer&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ComPointer& operator=(ComPointer&& other) noexcept {
        if (this != &other) {
            Reset();
            m_pointer = std::exchange(other.m_pointer, nullptr);
        }
        return *this;
    }

    // Takes over a reference the caller holds.
    static ComPointer Adopt(Interface* pointer) {
        ComPointer owned;
        owned.m_pointer = pointer;
        return owned;
    }
    // Adds a reference of its own.
    static ComPointer Share(Interface* pointer) {
        if (pointer)
            pointer->AddRef();
        return Adopt(pointer);
    }

    Interface* Get() const { return m_pointer; }
    Interface* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    // The slot for an out-argument, emptied first.
    Interface** Put() {
        Reset();
        return &m_pointer;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    Interface* Detach() { return std::exchange(m_pointer, nullptr); }
    void Reset() {
        // Emptied before the release: the release may come back here.
        if (Interface* pointer = std::exchange(m_pointer, nullptr))
            pointer->Release();
    }

    // QueryInterface for another of the object's interfaces; empty when it has none.
    template <class Other> ComPointer<Other> As() const {
        ComPointer<Other> other;
        if (m_pointer && FAILED(m_pointer->QueryInterface(Other::Iid, other.PutVoid())))
            other.Detach();
        return other;
    }

private:
    Interface* m_pointer = nullptr;
};
