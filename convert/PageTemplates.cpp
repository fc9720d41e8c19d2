#include "convert/PageTemplates.h"

#include "platform/text/AnsiText.h"

namespace {

constexpr std::string_view DocumentStart =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\"><html xmlns=\"http://www.w3.org/1999/xhtml\">";

std::string Concat(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view part : parts)
        out += part;
    return out;
}

} // namespace

std::string PageHead(std::string_view charset, std::string_view styleSheet, std::string_view title,
                     std::string_view extraHead) {
    return Concat({DocumentStart, "<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=", charset,
                   "\" /><link rel=\"stylesheet\" href=\"../Data/", styleSheet,
                   "\" type=\"text/css\" media=\"screen\" /><title>", title, "</title>", extraHead,
                   "</head><body><div id='container'><div id='header'></div>"});
}

const std::string& YoukuHead() {
    static const std::string head = PageHead("GBK", "youku.css", platform::AnsiFromWide(L"优酷视频"));
    return head;
}

const std::string& YoukuTreeHead() {
    static const std::string head = PageHead(
        "GBK", "youku.css", platform::AnsiFromWide(L"优酷视频"),
        platform::AnsiFromWide(
            L"<script type=\"text/javascript\">function TriggerTree(el) {var tree2 = "
            L"document.getElementById(\"tree2\");if(tree2.style.display=='none'||tree2.style.display==''){tree2."
            L"style.display = \"block\";tree2.style.top=(el.offsetHeight+el.offsetTop)+'px';el.innerHTML='["
            L"关闭二级菜单]';}else{tree2.style.display='none';el.innerHTML='[展开二级菜单]';}}</script>"));
    return head;
}

const std::string& TudouHead() {
    static const std::string head = PageHead("GBK", "tudou.css", platform::AnsiFromWide(L"土豆网"));
    return head;
}

const std::string& TudouScriptHead() {
    static const std::string head = PageHead("GBK", "tudou.css", platform::AnsiFromWide(L"土豆网"),
                                             "<script type='text/javascript' src='../Data/tudou.js'></script>");
    return head;
}

// The two smaller providers' heads carry their short site names; 56's is plain ASCII, as its
// video list is declared UTF-8 and the same title must read right there too.
const std::string& FiveSixHead() {
    static const std::string head = PageHead("GBK", "56.css", "56.com");
    return head;
}

const std::string& FiveSixUtf8Head() {
    static const std::string head = PageHead("utf-8", "56.css", "56.com");
    return head;
}

const std::string& SixCnHead() {
    static const std::string head = PageHead("GBK", "6cn.css", platform::AnsiFromWide(L"六间房"));
    return head;
}

const std::string& SixCnMemoHead() {
    static const std::string head = PageHead(
        "GBK", "6cn.css", platform::AnsiFromWide(L"六间房"),
        "<script type=\"text/javascript\">function tabMemo(memoShort,memoLong){ if "
        "(document.getElementById(memoShort).style.display == 'none') "
        "{document.getElementById(memoShort).style.display = '';document.getElementById(memoLong).style.display = "
        "'none';} else {document.getElementById(memoShort).style.display = "
        "'none';document.getElementById(memoLong).style.display = '';}}</script>");
    return head;
}

std::string TabBarBlock(std::string_view text) {
    return Concat({"<div class=\"viewTab\">", text, ClearDivision, "</div>"});
}

std::string PlainBlock(std::string_view text) { return Concat({text, ClearDivision}); }

std::string BareBlock(std::string_view text) { return std::string(text); }
