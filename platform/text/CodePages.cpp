#include "platform/text/CodePages.h"

#include "platform/base/LastError.h"
#include "platform/base/Utf8.h"
#include "platform/text/GbkCodec.h"

#include <cstring>
#include <cwchar>
#include <optional>
#include <string>

namespace {

enum class Encoding { Utf8, Gbk };

std::optional<Encoding> EncodingOf(UINT codePage) {
    switch (codePage) {
    case CP_ACP:
    case CP_OEMCP:
    case CP_GBK: return Encoding::Gbk;
    case CP_UTF8: return Encoding::Utf8;
    default: return std::nullopt;
    }
}

// Copies a converted result out under Win32's sizing rules.
template <class Char> int Deliver(const std::basic_string<Char>& result, Char* out, int outLength) {
    if (outLength == 0)
        return static_cast<int>(result.size());
    if (result.size() > static_cast<std::size_t>(outLength))
        return platform::FailWith(ERROR_INSUFFICIENT_BUFFER, 0);
    std::memcpy(out, result.data(), result.size() * sizeof(Char));
    return static_cast<int>(result.size());
}

std::string DefaultCharOf(LPCSTR defaultChar) {
    if (!defaultChar || !defaultChar[0])
        return "?";
    // A GBK lead byte with its trail byte is one character.
    if (static_cast<unsigned char>(defaultChar[0]) >= 0x81 && defaultChar[1])
        return std::string(defaultChar, 2);
    return std::string(defaultChar, 1);
}

} // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteLength, LPWSTR wide,
                        int wideLength) {
    auto encoding = EncodingOf(codePage);
    if (!encoding || !multiByte || multiByteLength == 0 || multiByteLength < -1 || wideLength < 0 ||
        (wideLength > 0 && !wide))
        return platform::FailWith(ERROR_INVALID_PARAMETER, 0);
    if (*encoding == Encoding::Utf8 && (flags & ~MB_ERR_INVALID_CHARS))
        return platform::FailWith(ERROR_INVALID_FLAGS, 0);
    std::size_t length = multiByteLength == -1 ? std::strlen(multiByte) + 1 : multiByteLength;
    std::string_view input(multiByte, length);
    bool invalid = false;
    std::optional<std::wstring> result = *encoding == Encoding::Utf8
                                             ? platform::WideFromUtf8(input, &invalid)
                                             : platform::GbkCodec::System().ToWide(input, L'?', invalid);
    // The system cannot convert the code page at all.
    if (!result)
        return platform::FailWith(ERROR_INVALID_PARAMETER, 0);
    if (invalid && (flags & MB_ERR_INVALID_CHARS))
        return platform::FailWith(ERROR_NO_UNICODE_TRANSLATION, 0);
    return Deliver(*result, wide, wideLength);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR multiByte, int multiByteLength,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar) {
    auto encoding = EncodingOf(codePage);
    if (!encoding || !wide || wideLength == 0 || wideLength < -1 || multiByteLength < 0 ||
        (multiByteLength > 0 && !multiByte))
        return platform::FailWith(ERROR_INVALID_PARAMETER, 0);
    if (*encoding == Encoding::Utf8) {
        // UTF-8 can hold every character: a default character makes no sense there.
        if (defaultChar || usedDefaultChar)
            return platform::FailWith(ERROR_INVALID_PARAMETER, 0);
        if (flags & ~WC_ERR_INVALID_CHARS)
            return platform::FailWith(ERROR_INVALID_FLAGS, 0);
    }
    std::size_t length = wideLength == -1 ? std::wcslen(wide) + 1 : wideLength;
    std::wstring_view input(wide, length);
    bool replaced = false;
    std::optional<std::string> result =
        *encoding == Encoding::Utf8
            ? platform::Utf8FromWide(input, &replaced)
            : platform::GbkCodec::System().FromWide(input, DefaultCharOf(defaultChar), replaced);
    if (!result)
        return platform::FailWith(ERROR_INVALID_PARAMETER, 0);
    if (replaced && (flags & WC_ERR_INVALID_CHARS))
        return platform::FailWith(ERROR_NO_UNICODE_TRANSLATION, 0);
    if (usedDefaultChar)
        *usedDefaultChar = replaced ? TRUE : FALSE;
    return Deliver(*result, multiByte, multiByteLength);
}
