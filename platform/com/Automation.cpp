#include "platform/com/Automation.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

// The byte count in the prefix must fit a DWORD.
constexpr UINT MaximumLength = 0x7FFFFFFF / sizeof(OLECHAR) - 1;

DWORD* Prefix(BSTR text) { return reinterpret_cast<DWORD*>(text) - 1; }

} // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    if (length > MaximumLength)
        return nullptr;
    void* block = std::malloc(sizeof(DWORD) + (static_cast<std::size_t>(length) + 1) * sizeof(OLECHAR));
    if (!block)
        return nullptr;
    auto* prefix = static_cast<DWORD*>(block);
    *prefix = static_cast<DWORD>(length * sizeof(OLECHAR));
    auto* characters = reinterpret_cast<BSTR>(prefix + 1);
    if (text)
        std::memcpy(characters, text, length * sizeof(OLECHAR));
    else
        std::wmemset(characters, L'\0', length);
    characters[length] = L'\0';
    return characters;
}

BSTR SysAllocString(LPCOLESTR text) {
    if (!text)
        return nullptr;
    std::size_t length = std::wcslen(text);
    return length > MaximumLength ? nullptr : SysAllocStringLen(text, static_cast<UINT>(length));
}

void SysFreeString(BSTR text) {
    if (text)
        std::free(Prefix(text));
}

UINT SysStringLen(BSTR text) { return text ? *Prefix(text) / sizeof(OLECHAR) : 0; }

void VariantInit(VARIANTARG* variant) {
    if (!variant)
        return;
    variant->vt = VT_EMPTY;
    variant->wReserved1 = variant->wReserved2 = variant->wReserved3 = 0;
    variant->byref = nullptr;
}

HRESULT VariantClear(VARIANTARG* variant) {
    if (!variant)
        return E_INVALIDARG;
    switch (variant->vt) {
    case VT_BSTR: SysFreeString(variant->bstrVal); break;
    case VT_DISPATCH:
        if (variant->pdispVal)
            variant->pdispVal->Release();
        break;
    case VT_UNKNOWN:
        if (variant->punkVal)
            variant->punkVal->Release();
        break;
    default: break;
    }
    VariantInit(variant);
    return S_OK;
}
