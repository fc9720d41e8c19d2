#include "convert/ClassifierRules.h"
#include "convert/PageTemplates.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/base/Utf8.h"
#include "settings/ProgramFolder.h"
#include "support/FixtureSite.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Pages of the kinds the youku converters read, each damaged in its own way.
std::map<std::string, std::string> DamagedPages() {
    std::string big = "<html><body><ul class=\"tabs\"><li>t</li></ul><div class=\"vCollImg\"><div id=\"detail\">";
    while (big.size() < 5u << 20)
        big += "<li><a href=\"/search_video/q_x\" target=\"video\">长长的列表 item</a><span "
               "style=\"display:none\">?</span></li>\n";
    big += "</div></div><div class=\"LPageBar\">1</div><div class=\"pageBar\">1</div></body></html>";
    return {
        {"unclosed", "<html><body><ul class=\"tabs\"><li>a<li>b<div id=\"detail\"><ul><li>open <div class=\"vCollImg\">"
                     "<p>x<div class=\"LPageBar\"><div class=\"pageBar\">"},
        {"stray", "<<div class=\"sorry\">< div id=\"detail\">a < b <> </ > <div id=\"detail\" class=>x</div><"},
        {"bytes", "<div id=\"detail\">\xFF\xFE\xC3(\xE4\xB8 \x80 ok</div><div class=\"vCollImg\">\xF0\x9F\x98\x80"
                  "\xED\xA0\x80</div><div class=\"LPageBar\">\xC0\xAF</div>"},
        {"attributes", "<div id=detail class='a\"b' =x y= \"z\"><ul class=\"tree\" class=\"tree2\"><ul class=\"tree2\">"
                       "</ul></div><div class=\"vCollImg\" id=\"\"></div><div class=LPageBar>"},
        {"huge", big},
        {"empty", ""},
    };
}

TEST(MalformedPages, AreConvertedAsFarAsTheyGoAndNeverReadOutsideThePage) {
    TemporaryRoot sites(TemporaryRoot::Image::None);
    std::map<std::string, std::string> pages = DamagedPages();
    for (const auto& [name, text] : pages)
        WriteHostFile(sites.Host("so.youku.com/" + name), text);
    FixtureSite site(sites.Path().string());
    CreateProgramFolders();
    for (const auto& [name, text] : pages) {
        for (const ClassifierRule* converter : ConverterRules()) {
            SCOPED_TRACE(name + " through " + std::string(converter->routine));
            ScriptedCoreUi ui;
            NavigationRequest request(ui);
            bool result = RunConverter(*converter, request, L"http://so.youku.com/" + platform::WideFromUtf8(name));
            std::string written = ReadHostFile(site.Root().HostOf(request.OutputPath()));
            if (result) {
                EXPECT_EQ(written.rfind(YoukuHead().substr(0, 60), 0), 0u);
                EXPECT_EQ(written.substr(written.size() - PageFooter.size() - 1), std::string(PageFooter) + "\n");
            } else {
                EXPECT_EQ(written, "");
            }
            EXPECT_FALSE(ui.WaitDialogOpen());
        }
    }
}

} // namespace
