#include "FuzzTargets.h"

#include "convert/ConverterPrimitives.h"

#include <htmlcxx/html/ParserDom.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// The plain loop, given up (nothing) when it runs longer than ReplaceAll may.
std::optional<std::string> RestartingReplaceAll(std::string text, const std::string& pattern,
                                                const std::string& replacement) {
    std::size_t steps = 0, budget = 64 * (text.size() + 64);
    for (std::size_t at; (at = text.find(pattern)) != std::string::npos;) {
        if (++steps > budget)
            return std::nullopt;
        text.replace(at, pattern.size(), replacement);
    }
    return text;
}

} // namespace

int FuzzPrimitives(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    // "pattern\x01replacement\x01text"
    std::size_t first = input.find('\x01');
    std::size_t second = first == std::string::npos ? std::string::npos : input.find('\x01', first + 1);
    if (second != std::string::npos && first > 0 && first <= 8 && second - first - 1 <= 8) {
        std::string pattern = input.substr(0, first);
        std::string replacement = input.substr(first + 1, second - first - 1);
        std::string text = input.substr(second + 1);
        std::string fast = text;
        ReplaceAll(fast, pattern, replacement);
        if (replacement.find(pattern) == std::string::npos && text.size() < 4096) {
            auto slow = RestartingReplaceAll(text, pattern, replacement);
            if (slow && fast != *slow)
                std::abort();
        }
    }
    std::string stripped = input;
    StripFirstScript(stripped);
    if (stripped.size() > input.size())
        std::abort();

    htmlcxx::HTML::ParserDom parser;
    tree<htmlcxx::HTML::Node> document = parser.parseTree(input);
    std::size_t total = 0;
    for (auto& node : document) {
        total += ElementText(input, node).size();
        AttributeEquals(node, "class", "tabs");
        AttributeEquals(node, "id", "");
    }
    return total == static_cast<std::size_t>(-1);
}
