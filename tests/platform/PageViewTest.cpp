#include "platform/browser/PageView.h"

#include "TestPictures.h"
#include "platform/display/PaintApi.h"
#include "platform/gdi/GdiApi.h"
#include "platform/text/GbkCodec.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::browser::PageView;
using platform::browser::ResolveLink;

TEST(ResolveLink, RelativeRootRelativeAndWebAddresses) {
    const std::wstring page = L"\\Quillora\\temp\\abc.html";
    struct Case {
        const wchar_t* href;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"abc_2.html", L"\\Quillora\\temp\\abc_2.html"},       // a numbered sibling page
        {L"../Data/youku.css", L"\\Quillora\\Data\\youku.css"}, // the shipped sheets
        {L"/Quillora/Data/56.gif", L"\\Quillora\\Data\\56.gif"},
        {L"http://v.youku.com/v_show/id_X.html", L"http://v.youku.com/v_show/id_X.html"},
        {L"#top", L"\\Quillora\\temp\\abc.html"},
        {L"./a/./b.html", L"\\Quillora\\temp\\a\\b.html"},
        {L"../../../../x.html", L"\\x.html"}, // never above the root
        {L"page.html#part", L"\\Quillora\\temp\\page.html"},
    };
    for (const Case& test : cases)
        EXPECT_EQ(ResolveLink(page, test.href), test.expected) << std::wstring(test.href);
}

// The page painted into a 480 × 200 bitmap, its pixels in rows.
std::vector<std::uint32_t> Painted(PageView& page, int scrollY = 0) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 480;
    info.bmiHeader.biHeight = -200;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, 0, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    page.Paint(memory, RECT{0, 0, 480, 200}, scrollY);
    std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                      static_cast<const std::uint32_t*>(bits) + 480 * 200);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    for (std::uint32_t& pixel : pixels)
        pixel &= 0x00FFFFFF;
    return pixels;
}

std::size_t Count(const std::vector<std::uint32_t>& pixels, std::uint32_t colour) {
    return static_cast<std::size_t>(std::count(pixels.begin(), pixels.end(), colour));
}

const char* const Utf8Page = "<html><head><meta charset=\"utf-8\"><title>功夫</title></head>"
                             "<body style=\"margin:0\"><p style=\"margin:0\">功夫熊猫 预告片</p></body></html>";

TEST(PageView, GbkAndUtf8PagesShowTheSameText) {
    TemporaryRoot root;
    PageView utf8(480), gbk(480);
    utf8.LoadBytes(Utf8Page, L"\\Quillora\\temp\\a.html");
    std::string gbkPage = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=GBK\" />"
                          "<title>\xB9\xA6\xB7\xF2</title></head><body style=\"margin:0\"><p style=\"margin:0\">"
                          "\xB9\xA6\xB7\xF2\xD0\xDC\xC3\xA8 \xD4\xA4\xB8\xE6\xC6\xAC</p></body></html>";
    gbk.LoadBytes(gbkPage, L"\\Quillora\\temp\\b.html");
    EXPECT_EQ(utf8.Title(), L"功夫");
    EXPECT_EQ(gbk.Title(), L"功夫");
    std::vector<std::uint32_t> fromUtf8 = Painted(utf8);
    EXPECT_LT(Count(fromUtf8, 0x00FFFFFF), fromUtf8.size()) << "something was drawn";
    EXPECT_EQ(fromUtf8, Painted(gbk));
}

TEST(PageView, PicturesComeFromDeviceFilesUnlessTheyAreOff) {
    TemporaryRoot root;
    WriteHostFile(root.Host("Quillora/temp/red.png"), RedPng());
    const std::string page = "<html><body style=\"margin:0\"><img src=\"red.png\" width=\"40\" height=\"40\"/>"
                             "</body></html>";
    PageView shown(480), hidden(480);
    hidden.SetPicturesShown(false);
    shown.LoadBytes(page, L"\\Quillora\\temp\\p.html");
    hidden.LoadBytes(page, L"\\Quillora\\temp\\p.html");
    EXPECT_EQ(Count(Painted(shown), 0x00FF0000), 40u * 40u);
    EXPECT_EQ(Count(Painted(hidden), 0x00FF0000), 0u);
}

TEST(PageView, LinksAreFoundUnderTheFingerAndTheViewScrolls) {
    TemporaryRoot root;
    PageView page(480);
    page.LoadBytes("<html><body style=\"margin:0\"><div style=\"height:300px;background:#00ff00\"></div>"
                   "<a href=\"next.html\" style=\"display:block;height:50px\">next</a>"
                   "<div style=\"height:400px;background:#0000ff\"></div></body></html>",
                   L"\\Quillora\\temp\\list.html");
    EXPECT_EQ(page.ContentHeight(), 750);
    EXPECT_EQ(page.LinkAt(100, 320), L"next.html");
    EXPECT_EQ(page.LinkAt(100, 100), L"");
    // Scrolled down 280 pixels: the green band's last 20 rows, then the link, then blue.
    std::vector<std::uint32_t> pixels = Painted(page, 280);
    EXPECT_EQ(pixels[19 * 480 + 240], 0x0000FF00u);
    EXPECT_NE(pixels[20 * 480 + 240], 0x0000FF00u);
    EXPECT_EQ(pixels[70 * 480 + 240], 0x000000FFu);
}

TEST(PageView, LinksAreListedWhereTheyAreLaidOut) {
    TemporaryRoot root;
    PageView page(480);
    page.LoadBytes("<html><body style=\"margin:0\"><div style=\"height:200px\"></div>"
                   "<p style=\"margin:0\">Before <a href=\"inline.html\">inline</a> after</p>"
                   "<a href=\"hidden.html\" style=\"display:none\">hidden</a>"
                   "<div><a href=\"http://x/block\" style=\"display:block;height:50px\">block</a></div></body></html>",
                   L"\\Quillora\\temp\\links.html");
    std::vector<PageView::LinkPlace> links = page.Links();
    ASSERT_EQ(links.size(), 2u) << "a link that is not shown takes no room";
    EXPECT_EQ(links[0].href, L"inline.html");
    EXPECT_EQ(links[0].text, L"inline");
    EXPECT_EQ(links[1].href, L"http://x/block");
    EXPECT_GE(links[0].area.top, 200);
    EXPECT_GT(links[0].area.left, 0) << "the inline link starts after the words before it";
    for (const auto& link : links)
        EXPECT_EQ(page.LinkAt((link.area.left + link.area.right) / 2, (link.area.top + link.area.bottom) / 2),
                  link.href);
}

TEST(FirstPartEnd, CutsAfterAClosingTagOutsideScriptsStylesAndComments) {
    using platform::browser::FirstPartEnd;
    const std::string rows = "<div>a</div><div>b</div><div>c</div>";
    EXPECT_EQ(FirstPartEnd("<p>short</p>", 100), std::nullopt);
    EXPECT_EQ(FirstPartEnd(rows, 3), std::optional<std::size_t>(12)) << "just after the first </div>";
    EXPECT_EQ(FirstPartEnd(rows, 13), std::optional<std::size_t>(24));
    EXPECT_EQ(FirstPartEnd(rows, 30), std::nullopt) << "the last closing tag ends the page: nothing to cut";
    // A script across the place: the cut comes after it, never at a "</div>" in its text.
    const std::string script = "<div>a</div><script>var s = '</div>';</script><li>x</li><p>rest</p>";
    EXPECT_EQ(FirstPartEnd(script, 14), std::optional<std::size_t>(script.find("</li>") + 5));
    EXPECT_EQ(FirstPartEnd("<div>a</div><!-- </div> never closed <div>b</div><p>c</p>", 14), std::nullopt);
}

TEST(PageView, AMissingPageLoadsNothing) {
    TemporaryRoot root;
    PageView page(480);
    EXPECT_FALSE(page.Load(L"\\Quillora\\temp\\missing.html"));
    EXPECT_FALSE(page.IsLoaded());
    EXPECT_EQ(page.ContentHeight(), 0);
    EXPECT_EQ(Count(Painted(page), 0x00FFFFFF), 480u * 200u) << "an empty view is white";
}

// The second-level list of a channel page: the link's script opens it and closes it again.
TEST(PageScripts, ALinksScriptOpensAndClosesAList) {
    TemporaryRoot root;
    PageView page(480);
    page.LoadBytes(
        "<html><head><meta charset=\"utf-8\"><style>.tree2 { display: none; } ul, li, div, a { display: block; "
        "margin: 0; padding: 0; } body { margin: 0; } a { height: 40px; }</style>"
        "<script type=\"text/javascript\">function TriggerTree(el) {var tree2 = document.getElementById(\"tree2\");"
        "if(tree2.style.display=='none'||tree2.style.display==''){tree2.style.display = \"block\";"
        "tree2.style.top=(el.offsetHeight+el.offsetTop)+'px';el.innerHTML='[关闭二级菜单]';}else{"
        "tree2.style.display='none';el.innerHTML='[展开二级菜单]';}}</script></head><body>"
        "<ul id=\"tree2\" class=\"tree2\"><li style=\"height:100px\">电影</li><li style=\"height:100px\">电视剧</li>"
        "</ul><div class=\"tree2div\"><a onclick=\"TriggerTree(this)\">[展开二级菜单]</a></div></body></html>",
        L"\\Quillora\\temp\\channel.html");
    int closed = page.ContentHeight();
    EXPECT_FALSE(page.ClickAt(200, closed + 50)) << "nothing to click below the page";
    ASSERT_TRUE(page.ClickAt(200, 10));
    EXPECT_EQ(page.ContentHeight(), closed + 200) << "the list came out";
    ASSERT_TRUE(page.ClickAt(200, 210));
    EXPECT_EQ(page.ContentHeight(), closed) << "and went back in";
}

// A picture that cannot be loaded is hidden by the page's load handler.
TEST(PageScripts, LoadHandlersRunAndBrokenPicturesCanBeHidden) {
    TemporaryRoot root;
    WriteHostFile(root.Host("Quillora/temp/red.png"), RedPng());
    WriteHostFile(root.Host("Quillora/Data/hide.js"),
                  "window.addEventListener('load', function () { var images = document.getElementsByTagName('img');"
                  "for (var i = 0; i < images.length; i++) if (images[i].complete && images[i].naturalWidth === 0)"
                  "images[i].style.display = 'none'; }, false); undefinedFunction();");
    PageView page(480);
    page.LoadBytes("<html><head><script src=\"../Data/hide.js\"></script></head><body style=\"margin:0\">"
                   "<div><img src=\"red.png\" width=\"50\" height=\"50\"/></div>"
                   "<div><img src=\"missing.png\" width=\"50\" height=\"70\"/></div></body></html>",
                   L"\\Quillora\\temp\\grid.html");
    EXPECT_LT(page.ContentHeight(), 100) << "the broken picture's 70 pixels are gone, the script error aside";
    EXPECT_GE(page.ContentHeight(), 50);
}

} // namespace
