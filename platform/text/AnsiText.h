#pragma once
// Whole-string conversions between wide text and the device's ANSI code page (GBK),
// through the code-page calls; characters GBK lacks become '?'.

#include <string>
#include <string_view>

namespace platform {

std::string AnsiFromWide(std::wstring_view text);
std::wstring WideFromAnsi(std::string_view text);

} // namespace platform
