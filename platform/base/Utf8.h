#pragma once
// Unicode conversions at the host's boundaries: UTF-8 for paths, arguments and output,
// UTF-16 for files stored as UTF-16LE. Invalid input never fails: each ill-formed
// sequence becomes U+FFFD and `hadInvalid`, when given, is set.

#include <string>
#include <string_view>

namespace platform {

std::wstring WideFromUtf8(std::string_view text, bool* hadInvalid = nullptr);
// Decodes the character at `pos` and moves past it; an ill-formed sequence gives U+FFFD
// and sets `invalid`.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos, bool& invalid);
std::string Utf8FromWide(std::wstring_view text, bool* hadInvalid = nullptr);
std::u16string Utf16FromWide(std::wstring_view text);
std::wstring WideFromUtf16(std::u16string_view text);

} // namespace platform
