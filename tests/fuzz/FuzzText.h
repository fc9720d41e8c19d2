#pragma once
// Small helpers the fuzz targets share to state what a reader may give.

#include <cstddef>
#include <string_view>

// How often the pattern occurs in the text, overlaps counted.
inline std::size_t CountOf(std::string_view text, std::string_view pattern) {
    std::size_t count = 0;
    for (std::size_t at = text.find(pattern); at != std::string_view::npos; at = text.find(pattern, at + 1))
        ++count;
    return count;
}
