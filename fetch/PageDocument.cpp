#include "fetch/PageDocument.h"

#include <algorithm>

std::string ElementText(const std::string& page, const htmlcxx::HTML::Node& node) {
    std::size_t offset = std::min<std::size_t>(node.offset(), page.size());
    return page.substr(offset, node.length());
}

bool AttributeEquals(htmlcxx::HTML::Node& node, const std::string& name, std::string_view value) {
    node.parseAttributes();
    return ParsedAttributeEquals(node, name, value);
}

bool ParsedAttributeEquals(const htmlcxx::HTML::Node& node, const std::string& name, std::string_view value) {
    const auto& attributes = node.attributes();
    auto found = attributes.find(name);
    return (found == attributes.end() ? std::string_view() : std::string_view(found->second)) == value;
}
