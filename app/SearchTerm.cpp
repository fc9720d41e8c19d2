#include "app/SearchTerm.h"

#include "app/ProviderList.h"
#include "platform/text/CodePages.h"

#include <string>

namespace {

// The 56 row: its search reads the text as typed.
constexpr int UnencodedRow = 2;

std::string Utf8Bytes(const std::wstring& text) {
    if (text.empty())
        return {};
    int length = static_cast<int>(text.size());
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, bytes.data(), size, nullptr, nullptr) != size)
        return {};
    return bytes;
}

bool KeptAsIs(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9');
}

} // namespace

std::wstring EncodeSearchTerm(const std::wstring& text) {
    static constexpr char HexDigits[] = "0123456789abcdef";
    std::wstring encoded;
    for (char raw : Utf8Bytes(text)) {
        auto byte = static_cast<unsigned char>(raw);
        if (KeptAsIs(byte)) {
            encoded += static_cast<wchar_t>(byte);
        } else if (byte == ' ') {
            encoded += L'+';
        } else {
            encoded += L'%';
            encoded += static_cast<wchar_t>(HexDigits[byte >> 4]);
            encoded += static_cast<wchar_t>(HexDigits[byte & 0x0F]);
        }
    }
    return encoded;
}

std::wstring SearchAddress(const ProviderEntry& provider, int row, int mode, const std::wstring& text) {
    const std::wstring& prefix = mode == AlbumSearch ? provider.albumSearch : provider.videoSearch;
    return prefix + (row == UnencodedRow ? text : EncodeSearchTerm(text));
}
