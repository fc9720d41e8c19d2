#include "convert/MarkerWalk.h"

#include "convert/ConverterPrimitives.h"

Blocks WalkMarkers(NavigationRequest& request, const std::vector<Marker>& markers, int blockCount) {
    Blocks blocks(blockCount);
    DocumentTree& document = request.Document();
    bool stopped = false;
    for (auto node = document.begin(); node != document.end() && !stopped; ++node) {
        if (!node->isTag())
            continue;
        bool parsed = false;
        for (const Marker& marker : markers) {
            if (node->tagName() != marker.tag)
                continue;
            // Parsing attributes is the costly part of the walk: once per node is enough.
            if (!parsed) {
                node->parseAttributes();
                parsed = true;
            }
            if (!ParsedAttributeEquals(*node, std::string(marker.attribute), marker.value))
                continue;
            std::string& block = blocks.at(marker.block);
            block = marker.form(ElementText(request.PageText(), *node));
            ApplyPatches(block, marker.patches);
            stopped = marker.stops;
            break;
        }
    }
    return blocks;
}

void ApplyPatches(std::string& text, const std::vector<TextPatch>& patches) {
    for (const TextPatch& patch : patches)
        ReplaceAll(text, patch.pattern, patch.replacement);
}
