#pragma once
// GBK (code page 936) through iconv. Each thread keeps its own conversion descriptors.

#include <string>
#include <string_view>

namespace platform {

// Undecodable bytes each become `replacement`; `hadInvalid` tells whether any did.
std::wstring WideFromGbk(std::string_view bytes, wchar_t replacement, bool& hadInvalid);
// Characters GBK cannot hold each become `defaultChar`; `usedDefault` tells whether any did.
std::string GbkFromWide(std::wstring_view text, std::string_view defaultChar, bool& usedDefault);

} // namespace platform
