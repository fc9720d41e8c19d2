#pragma once
// GBK (code page 936): tables filled once from the system's converter (iconv), then
// read by any thread.

#include <string>
#include <string_view>

namespace platform {

// Undecodable bytes each become `replacement`; `hadInvalid` tells whether any did.
std::wstring WideFromGbk(std::string_view bytes, wchar_t replacement, bool& hadInvalid);
// Characters GBK cannot hold each become `defaultChar`; `usedDefault` tells whether any did.
std::string GbkFromWide(std::wstring_view text, std::string_view defaultChar, bool& usedDefault);
// UTF-8 straight to GBK, as decoding to wide text and encoding that would: ill-formed
// sequences and characters GBK lacks become '?'.
std::string GbkFromUtf8(std::string_view text);

} // namespace platform
