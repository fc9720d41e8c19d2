#pragma once
// A text slot shared between the user-interface thread and the workers: each read sees
// the whole of one value written, never a mixture of two.

#include <mutex>
#include <string>

class SharedText {
public:
    void Set(std::wstring text) {
        std::lock_guard guard(m_lock);
        m_text = std::move(text);
    }
    std::wstring Get() const {
        std::lock_guard guard(m_lock);
        return m_text;
    }

private:
    mutable std::mutex m_lock;
    std::wstring m_text;
};
