#include "fetch/PageDocument.h"

#include <algorithm>
#include <strings.h>

void DocumentParser::beginParsing() {
    m_depth = m_work = m_tags = 0;
    m_refused = false;
    ParserDom::beginParsing();
}

// The parser closes an end tag's element by searching the open elements upwards for the
// name, ignoring case; the elements it passes lose their children to the one above. So
// the levels it searches are the levels the current element climbs, and are found the
// same way here, before the parser moves.
void DocumentParser::foundTag(htmlcxx::HTML::Node node, bool isEnd) {
    if (m_refused)
        return;
    DocumentTree::iterator before = mCurrentState;
    // For an end tag: the element the parser will step out of, and the depth it lands at.
    DocumentTree::iterator landing = before;
    std::size_t landingDepth = m_depth;
    if (isEnd) {
        DocumentTree::iterator at = before;
        const std::string& name = node.tagName();
        for (std::size_t level = 0; level < m_depth; ++level, at = mHtmlTree.parent(at)) {
            ++m_work;
            const std::string& open = at->tagName();
            if (at->isTag() && open.size() == name.size() && strcasecmp(open.c_str(), name.c_str()) == 0) {
                landing = mHtmlTree.parent(at);
                landingDepth = m_depth - level - 1;
                break;
            }
        }
    }
    ParserDom::foundTag(std::move(node), isEnd);
    ++m_tags;
    if (mCurrentState == before) {
        // An element the parser did not enter, or an end tag that matched nothing.
    } else if (!isEnd && mHtmlTree.parent(mCurrentState) == before) {
        ++m_depth;
    } else if (isEnd && mCurrentState == landing) {
        m_depth = landingDepth;
    } else {
        // The parser moved in a way not foreseen here: count the depth again.
        m_depth = static_cast<std::size_t>(mHtmlTree.depth(mCurrentState));
        m_work += m_depth;
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

std::string_view ElementText(const std::string& page, const htmlcxx::HTML::Node& node) {
    std::size_t offset = std::min<std::size_t>(node.offset(), page.size());
    return std::string_view(page).substr(offset, node.length());
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
