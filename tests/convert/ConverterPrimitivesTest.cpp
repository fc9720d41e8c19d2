#include "convert/ConverterPrimitives.h"
#include "fetch/ScriptedCoreUi.h"
#include "support/TemporaryRoot.h"

#include <htmlcxx/html/ParserDom.h>

#include <gtest/gtest.h>

#include <random>

namespace {

// The loop as the converters' authors wrote it: replace the first occurrence, look again from the start.
std::string RestartingReplaceAll(std::string text, const std::string& pattern, const std::string& replacement) {
    for (std::size_t at; (at = text.find(pattern)) != std::string::npos;)
        text.replace(at, pattern.size(), replacement);
    return text;
}

std::string Replaced(std::string text, std::string_view pattern, std::string_view replacement) {
    ReplaceAll(text, pattern, replacement);
    return text;
}

TEST(ReplaceAll, GivesTheResultOfRestartingFromTheStart) {
    // Cases where continuing after the replacement would differ from starting again.
    EXPECT_EQ(Replaced("xxyy", "xy", "x"), "xx");
    EXPECT_EQ(Replaced("aab", "ab", "bc"), "bcc");
    EXPECT_EQ(Replaced("a target=\"new\" b", "target=\"new\"", ""), "a  b");
    EXPECT_EQ(Replaced("no attribute here", "target=\"new\"", ""), "no attribute here");
    EXPECT_EQ(Replaced("abc", "", "x"), "abc");

    std::mt19937 random(7);
    auto word = [&](std::size_t maximum) {
        std::string text(random() % (maximum + 1), ' ');
        for (char& c : text)
            c = "ab?"[random() % 3];
        return text;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string text = word(40), pattern = word(3), replacement = word(3);
        if (pattern.empty() || replacement.find(pattern) != std::string::npos)
            continue;
        ASSERT_EQ(Replaced(text, pattern, replacement), RestartingReplaceAll(text, pattern, replacement))
            << "text " << text << " pattern " << pattern << " replacement " << replacement;
    }
}

TEST(ReplaceAll, EndsEvenWhereTheRestartingLoopWouldNot) {
    EXPECT_EQ(Replaced("a-b-c", "-", "--"), "a--b--c");
    // "a" + "b" forms the pattern again after every replacement: the loop is cut off.
    std::string text = "abab";
    ReplaceAll(text, "ab", "bbaa");
    EXPECT_LE(text.size(), 4u + 2 * 64 * (4 + 64));
}

TEST(StripFirstScript, RemovesOnlyACompleteFirstScript) {
    EXPECT_EQ(
        [] {
            std::string text = "a<script>x()</script>b<script>y()</script>";
            StripFirstScript(text);
            return text;
        }(),
        "ab<script>y()</script>");
    for (std::string unchanged : {"no script", "<script>never closed", "</script> before <script>"}) {
        std::string text = unchanged;
        StripFirstScript(text);
        EXPECT_EQ(text, unchanged);
    }
}

TEST(Elements, AttributesMustMatchWholeAndTextStaysInThePage) {
    std::string page = "<div class=\"tabs more\" ID=\"Detail\">x</div><DIV class=\"tabs\"></DIV><p>";
    htmlcxx::HTML::ParserDom parser;
    tree<htmlcxx::HTML::Node> document = parser.parseTree(page);
    std::vector<htmlcxx::HTML::Node*> elements;
    for (auto& node : document) {
        if (node.isTag() && !node.tagName().empty())
            elements.push_back(&node);
    }
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_FALSE(AttributeEquals(*elements[0], "class", "tabs"));
    EXPECT_TRUE(AttributeEquals(*elements[0], "class", "tabs more"));
    EXPECT_TRUE(AttributeEquals(*elements[0], "id", "Detail"));
    EXPECT_FALSE(AttributeEquals(*elements[0], "id", "detail"));
    EXPECT_TRUE(AttributeEquals(*elements[2], "class", ""));
    EXPECT_EQ(elements[1]->tagName(), "DIV");
    EXPECT_EQ(ElementText(page, *elements[0]), "<div class=\"tabs more\" ID=\"Detail\">x</div>");
    EXPECT_EQ(ElementText(page, *elements[2]), "<p>");

    htmlcxx::HTML::Node beyond;
    beyond.offset(static_cast<unsigned>(page.size() - 2));
    beyond.length(100);
    EXPECT_EQ(ElementText(page, beyond), "p>");
    beyond.offset(static_cast<unsigned>(page.size() + 10));
    EXPECT_EQ(ElementText(page, beyond), "");
}

TEST(WriteLocalPage, WritesTheBytesAndALineFeedThenClosesTheWaitDialog) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    ScriptedCoreUi ui;
    ui.ShowWaitDialog(nullptr, nullptr, 1);
    EXPECT_TRUE(WriteLocalPage(ui, L"\\page.html", "\xC4\xE3<b>"));
    EXPECT_EQ(ReadHostFile(root.Host("page.html")), "\xC4\xE3<b>\n");
    EXPECT_FALSE(ui.WaitDialogOpen());

    // A page that cannot be written is a failure, and the dialog is closed all the same.
    ui.ShowWaitDialog(nullptr, nullptr, 1);
    EXPECT_FALSE(WriteLocalPage(ui, L"\\missing\\page.html", "x"));
    EXPECT_FALSE(ui.WaitDialogOpen());
    EXPECT_EQ(ui.Records().size(), 4u);
}

} // namespace
