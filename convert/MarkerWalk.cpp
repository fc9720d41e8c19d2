#include "convert/MarkerWalk.h"

#include "convert/ConverterPrimitives.h"

Blocks WalkMarkers(NavigationRequest& request, const std::vector<Marker>& markers, int blockCount) {
    // A later match replaces an earlier one in its block: only the last match of each
    // block is cut out, so that elements nested in each other are not copied again and
    // again.
    struct Match {
        const Marker* marker = nullptr;
        const htmlcxx::HTML::Node* node = nullptr;
    };
    std::vector<Match> last(blockCount);
    DocumentTree& document = request.Document();
    bool stopped = false;
    for (auto node = document.begin(); node != document.end() && !stopped; ++node) {
        if (!node->isTag())
            continue;
        bool parsed = false;
        const std::string& tag = node->tagName();
        for (const Marker& marker : markers) {
            if (tag != marker.tag)
                continue;
            // A value that is not in the tag's own text cannot be its attribute's value.
            if (!marker.value.empty() && node->text().find(marker.value) == std::string::npos)
                continue;
            // Parsing attributes is the costly part of the walk: once per node is enough.
            if (!parsed) {
                node->parseAttributes();
                parsed = true;
            }
            if (!ParsedAttributeEquals(*node, std::string(marker.attribute), marker.value))
                continue;
            last.at(marker.block) = {&marker, &*node};
            stopped = marker.stops;
            break;
        }
    }
    Blocks blocks(blockCount);
    for (int block = 0; block < blockCount; ++block) {
        if (const Match& match = last[block]; match.marker) {
            blocks[block] = match.marker->form(ElementText(request.PageText(), *match.node));
            ApplyPatches(blocks[block], match.marker->patches);
        }
    }
    return blocks;
}

void ApplyPatches(std::string& text, const std::vector<TextPatch>& patches) {
    for (const TextPatch& patch : patches)
        ReplaceAll(text, patch.pattern, patch.replacement);
}
