#include "toolkit/ToolkitString.h"

#include "platform/base/LocalMemory.h"

#include <cwchar>
#include <string>

ToolkitString& ToolkitString::operator=(const ToolkitString& other) {
    if (this != &other)
        Assign(other.C_Str());
    return *this;
}

bool ToolkitString::Reserve(std::size_t n) {
    Release();
    auto* buffer = static_cast<wchar_t*>(LocalAlloc(LPTR, n * sizeof(wchar_t)));
    if (!buffer || n == 0) {
        LocalFree(buffer);
        return false;
    }
    m_text = buffer;
    m_capacity = n;
    return true;
}

void ToolkitString::Release() {
    m_inline = L'\0';
    if (m_capacity > 0)
        LocalFree(m_text);
    m_text = &m_inline;
    m_capacity = 0;
}

void ToolkitString::Assign(const wchar_t* text) {
    if (!text || !*text) {
        Release();
        return;
    }
    std::size_t length = std::wcslen(text);
    if (m_text == text || (m_capacity > 0 && text >= m_text && text < m_text + m_capacity)) {
        // Assigning a part of its own buffer: copy out first.
        ToolkitString copy(std::wstring(text).c_str());
        Assign(copy.C_Str());
        return;
    }
    if (length + 1 < m_capacity)
        std::wmemset(m_text, L'\0', m_capacity);
    else if (!Reserve(length + 1))
        return;
    std::wmemcpy(m_text, text, length);
}

std::size_t ToolkitString::Length() const { return std::wcslen(m_text); }

int ToolkitString::Compare(const wchar_t* text) const {
    if (!text)
        return IsEmpty() ? 0 : 1;
    if (IsEmpty() && *text)
        return -1;
    int result = std::wcscmp(m_text, text);
    return result < 0 ? -1 : result > 0 ? 1 : 0;
}

ToolkitString operator+(const ToolkitString& a, const wchar_t* b) {
    std::size_t first = a.Length(), second = b ? std::wcslen(b) : 0;
    ToolkitString sum;
    if (first + second == 0 || !sum.Reserve(first + second + 1))
        return sum;
    std::wmemcpy(sum.m_text, a.C_Str(), first);
    if (second)
        std::wmemcpy(sum.m_text + first, b, second);
    return sum;
}
