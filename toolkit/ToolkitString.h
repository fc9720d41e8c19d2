#pragma once
// The toolkit's own wide string. Its storage is exact: a text of n characters takes a
// buffer of n + 1, and a buffer is reused only when it is strictly larger than that;
// the empty string is an inline character and holds no buffer. Not thread-safe.

#include "platform/base/Win32Types.h"

class ToolkitString {
public:
    ToolkitString() = default;
    ToolkitString(const wchar_t* text) { Assign(text); } // NOLINT: converts like the raw text it holds
    ToolkitString(const ToolkitString& other) { Assign(other.C_Str()); }
    ToolkitString& operator=(const ToolkitString& other);
    virtual ~ToolkitString() { Release(); }

    // A zero-filled buffer of n characters in place of the text; false (and the empty
    // string) when it cannot be had.
    virtual bool Reserve(std::size_t n);
    virtual const wchar_t* C_Str() const { return m_text; }

    void Assign(const wchar_t* text);
    std::size_t Length() const;
    bool IsEmpty() const { return m_text[0] == L'\0'; }
    // wcscmp's order; a null text is below any non-empty string and equal to the empty one.
    int Compare(const wchar_t* text) const;
    bool Equals(const wchar_t* text) const { return Compare(text) == 0; }
    std::size_t Capacity() const { return m_capacity; }

    friend ToolkitString operator+(const ToolkitString& a, const wchar_t* b);
    friend ToolkitString operator+(const ToolkitString& a, const ToolkitString& b) { return a + b.C_Str(); }

protected:
    virtual void Release();

private:
    wchar_t* m_text = &m_inline;
    std::size_t m_capacity = 0; // 0: m_text is the inline character
    wchar_t m_inline = L'\0';
};
