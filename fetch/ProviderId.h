#pragma once
// The provider tags a request can carry: which site's pages, or which parse server's
// answers, it downloads, and how the fetch treats them. The one table of these facts.

#include <string_view>

struct ProviderId {
    std::wstring_view tag;
    bool pagesInUtf8; // turned from UTF-8 into the ANSI code page before parsing
    bool parsed;      // parsed as HTML when the fetch is asked to parse
};

namespace Provider {
inline constexpr ProviderId Youku{L"youku", true, true};
inline constexpr ProviderId Tudou{L"tudou", false, true};
inline constexpr ProviderId FiveSix{L"56", false, true};
inline constexpr ProviderId SixCn{L"6", true, true};
inline constexpr ProviderId Flvcd{L"flvcd", false, true};
// Parse server 2 answers with a play list or a bare address: nothing to parse.
inline constexpr ProviderId EightFan{L"8fan", false, false};
} // namespace Provider
