#pragma once
// The parsed provider page and the two ways the program reads it: a node's source
// text and an attribute's whole value. Both work on bytes of the page text.

#include <htmlcxx/html/ParserDom.h>

#include <string>
#include <string_view>

using DocumentTree = tree<htmlcxx::HTML::Node>;

// The DOM parser, giving its tree itself to the reader rather than a copy of it.
class DocumentParser : public htmlcxx::HTML::ParserDom {
public:
    DocumentTree& Tree() { return mHtmlTree; }
};

// The node's source text: from its offset for its length, clipped to the page.
std::string ElementText(const std::string& page, const htmlcxx::HTML::Node& node);

// Whether the node has the attribute with exactly this whole value (a missing
// attribute counts as empty). Parses the node's attributes on first use.
bool AttributeEquals(htmlcxx::HTML::Node& node, const std::string& name, std::string_view value);
// The same on a node whose attributes are parsed already.
bool ParsedAttributeEquals(const htmlcxx::HTML::Node& node, const std::string& name, std::string_view value);
