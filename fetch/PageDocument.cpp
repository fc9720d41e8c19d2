#include "fetch/PageDocument.h"

#include <algorithm>

void DocumentParser::beginParsing() {
    m_depth = m_work = m_tags = 0;
    m_refused = false;
    ParserDom::beginParsing();
}

void DocumentParser::foundTag(htmlcxx::HTML::Node node, bool isEnd) {
    if (m_refused)
        return;
    DocumentTree::iterator before = mCurrentState;
    ParserDom::foundTag(std::move(node), isEnd);
    ++m_tags;
    if (mCurrentState == before) {
        // An end tag that matched nothing: the parser looked at every open element.
        if (isEnd)
            m_work += m_depth;
    } else if (!isEnd && mHtmlTree.parent(mCurrentState) == before) {
        ++m_depth;
    } else {
        // The parser climbed to an element above: count the levels it went up.
        DocumentTree::iterator at = before;
        for (; at != mCurrentState && m_depth > 0; at = mHtmlTree.parent(at)) {
            --m_depth;
            ++m_work;
        }
        if (at != mCurrentState)
            m_depth = static_cast<std::size_t>(mHtmlTree.depth(mCurrentState));
    }
    m_refused = m_depth > MaximumDepth || m_work > WorkAllowance + WorkPerTag * m_tags;
}

void DocumentParser::foundText(htmlcxx::HTML::Node node) {
    if (!m_refused)
        ParserDom::foundText(std::move(node));
}

void DocumentParser::foundComment(htmlcxx::HTML::Node node) {
    if (!m_refused)
        ParserDom::foundComment(std::move(node));
}

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
