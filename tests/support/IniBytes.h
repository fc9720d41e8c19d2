#pragma once
// Settings-file bytes written out by hand: UTF-16LE units, and with the mark FF FE.

#include <string>
#include <string_view>

inline std::string Utf16LeBytes(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

inline std::string IniBytes(std::u16string_view text) { return "\xFF\xFE" + Utf16LeBytes(text); }
