#pragma once
// Whole-string conversions between wide text and the device's ANSI code page (GBK),
// through the code-page calls; characters GBK lacks become '?'.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

std::string AnsiFromWide(std::wstring_view text);
std::wstring WideFromAnsi(std::string_view text);
// UTF-8 bytes in the ANSI code page, as the two code-page calls would give them through
// wide text, in one pass; nothing when the system cannot convert to the code page.
std::optional<std::string> AnsiFromUtf8(std::string_view text);

} // namespace platform
