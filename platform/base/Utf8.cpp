#include "platform/base/Utf8.h"

namespace platform {
namespace {

constexpr char32_t Replacement = 0xFFFD;

bool IsScalarValue(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

} // namespace

// An ill-formed sequence is skipped as its maximal ill-formed subpart, so one bad lead
// byte costs one U+FFFD.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos, bool& invalid) {
    auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;
    int length = 0;
    char32_t value = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 2;
        value = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 3;
        value = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        invalid = true;
        return Replacement;
    }
    for (int i = 0; i < length; ++i) {
        if (pos >= text.size()) {
            invalid = true;
            return Replacement;
        }
        auto next = static_cast<unsigned char>(text[pos]);
        if (next < low || next > high) {
            invalid = true;
            return Replacement;
        }
        value = (value << 6) | (next & 0x3F);
        ++pos;
        low = 0x80;
        high = 0xBF;
    }
    return value;
}

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::wstring WideFromUtf8(std::string_view text, bool* hadInvalid) {
    std::wstring out;
    out.reserve(text.size());
    bool invalid = false;
    for (std::size_t pos = 0; pos < text.size();)
        out += static_cast<wchar_t>(DecodeUtf8(text, pos, invalid));
    if (hadInvalid)
        *hadInvalid = invalid;
    return out;
}

std::string Utf8FromWide(std::wstring_view text, bool* hadInvalid) {
    std::string out;
    out.reserve(text.size());
    bool invalid = false;
    for (wchar_t w : text) {
        auto c = static_cast<char32_t>(w);
        if (!IsScalarValue(c)) {
            invalid = true;
            c = Replacement;
        }
        AppendUtf8(out, c);
    }
    if (hadInvalid)
        *hadInvalid = invalid;
    return out;
}

std::u16string Utf16FromWide(std::wstring_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        auto c = static_cast<char32_t>(w);
        if (!IsScalarValue(c))
            c = Replacement;
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
    }
    return out;
}

std::wstring WideFromUtf16(std::u16string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            out += static_cast<wchar_t>(Replacement);
        } else {
            out += static_cast<wchar_t>(unit);
        }
    }
    return out;
}

} // namespace platform
