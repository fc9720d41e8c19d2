#pragma once
// The parsed provider page and the two ways the program reads it: a node's source
// text and an attribute's whole value. Both work on bytes of the page text.

#include <htmlcxx/html/ParserDom.h>

#include <string>
#include <string_view>

using DocumentTree = tree<htmlcxx::HTML::Node>;

// The DOM parser, giving its tree itself to the reader rather than a copy of it.
//
// It refuses pages that would make the parser's tree too deep or its work too large:
// the tree is torn down recursively (a stack frame a level), and an end tag that
// matches no open element makes the parser search every level above it. Past either
// bound the rest of the page is only read through, never built, and Refused() says so.
// Real pages are far inside both bounds.
class DocumentParser : public htmlcxx::HTML::ParserDom {
public:
    static constexpr std::size_t MaximumDepth = 2048;
    // Levels searched or climbed by end tags, beyond a fixed allowance per tag.
    static constexpr std::size_t WorkPerTag = 64;
    static constexpr std::size_t WorkAllowance = 100000;

    DocumentTree& Tree() { return mHtmlTree; }
    bool Refused() const { return m_refused; }

protected:
    void beginParsing() override;
    void foundTag(htmlcxx::HTML::Node node, bool isEnd) override;
    void foundText(htmlcxx::HTML::Node node) override;
    void foundComment(htmlcxx::HTML::Node node) override;

private:
    std::size_t m_depth = 0;
    std::size_t m_work = 0;
    std::size_t m_tags = 0;
    bool m_refused = false;
};

// The node's source text: from its offset for its length, clipped to the page (a view
// into the page).
std::string_view ElementText(const std::string& page, const htmlcxx::HTML::Node& node);

// Whether the node has the attribute with exactly this whole value (a missing
// attribute counts as empty). Parses the node's attributes on first use.
bool AttributeEquals(htmlcxx::HTML::Node& node, const std::string& name, std::string_view value);
// The same on a node whose attributes are parsed already.
bool ParsedAttributeEquals(const htmlcxx::HTML::Node& node, const std::string& name, std::string_view value);
