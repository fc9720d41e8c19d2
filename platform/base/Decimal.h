#pragma once
// The leading decimal number of a text as the C runtime's atoi reads it: blanks, an
// optional sign, digits; reading stops at the first other character, and a text
// without digits is 0. Unlike atoi the value saturates at the limits of long long
// instead of overflowing; callers narrow it by their own rule.

#include <climits>
#include <cwctype>
#include <string_view>

namespace platform {

template <class Char> long long LeadingDecimal(std::basic_string_view<Char> text) {
    auto blank = [](Char c) { return std::iswspace(static_cast<wint_t>(c)) != 0; };
    std::size_t i = 0;
    while (i < text.size() && blank(text[i]))
        ++i;
    bool negative = i < text.size() && text[i] == Char('-');
    if (i < text.size() && (text[i] == Char('-') || text[i] == Char('+')))
        ++i;
    long long value = 0;
    for (; i < text.size() && text[i] >= Char('0') && text[i] <= Char('9'); ++i) {
        if (value > (LLONG_MAX - 9) / 10)
            return negative ? LLONG_MIN : LLONG_MAX;
        value = value * 10 + (text[i] - Char('0'));
    }
    return negative ? -value : value;
}

} // namespace platform
