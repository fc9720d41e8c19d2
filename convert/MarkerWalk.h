#pragma once
// The one walk of a converter over the parsed page: every element in document order
// is tested against the converter's markers in their order; the first marker that
// matches (tag name, then one attribute's whole value) stores the element's text in
// its block, in the block's form, and patches it at once. A stopping marker ends the
// walk. The tree stays with the request: the converter releases it when done with it.

#include "fetch/NavigationRequest.h"

#include <string>
#include <string_view>
#include <vector>

struct TextPatch {
    std::string pattern;
    std::string replacement;
};

struct Marker {
    std::string_view tag;
    std::string_view attribute; // "class" or "id"
    std::string_view value;
    int block;
    std::string (*form)(std::string_view elementText);
    std::vector<TextPatch> patches;
    bool stops = false;
};

using Blocks = std::vector<std::string>;

Blocks WalkMarkers(NavigationRequest& request, const std::vector<Marker>& markers, int blockCount);

void ApplyPatches(std::string& text, const std::vector<TextPatch>& patches);
