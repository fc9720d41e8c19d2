#pragma once
// The fixed texts of the local pages: heads, footer and the block forms. Each head is
// one line: the XHTML 1.0 Transitional document type, the html element with the XHTML
// namespace, then the provider's head, which declares the ANSI code page (GBK) and
// links the provider's style sheet in the program's Data folder. Chinese texts are
// GBK bytes, like everything the converters write.

#include <string>
#include <string_view>

constexpr std::string_view ClearDivision = "<div class=\"clear\"></div>";
constexpr std::string_view PageFooter = "</div></body></html>";

// "<!DOCTYPE ...><html xmlns=...><head>" + charset, style sheet, title, extra head
// elements, "</head><body><div id='container'><div id='header'></div>".
std::string PageHead(std::string_view charset, std::string_view styleSheet, std::string_view title,
                     std::string_view extraHead = {});

const std::string& YoukuHead();
const std::string& YoukuTreeHead();
const std::string& TudouHead();
const std::string& TudouScriptHead();
const std::string& FiveSixHead();
const std::string& FiveSixUtf8Head();
const std::string& SixCnHead();
const std::string& SixCnMemoHead();

// "<div class="viewTab">" + text + clear division + "</div>".
std::string TabBarBlock(std::string_view text);
// text + clear division.
std::string PlainBlock(std::string_view text);
// text alone.
std::string BareBlock(std::string_view text);
