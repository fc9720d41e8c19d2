#include "convert/SixCnPages.h"

#include "convert/ConverterPrimitives.h"
#include "convert/PageTemplates.h"
#include "convert/ProviderHosts.h"

namespace {

enum Block { Header, Tool, Content, PageList, Intro, Main, Tabs, List, BlockCount };

const TextPatch TargetToTag{"target=", "tag="};

// The first script of a block goes before its patches are applied.
std::string ScriptlessBlock(std::string_view text) {
    std::string block = PlainBlock(text);
    StripFirstScript(block);
    return block;
}

const std::string& Address() {
    static const std::string address = AddressOf(HostRole::SixCn);
    return address;
}

std::vector<TextPatch> SearchLinkRewrites() {
    return {{"href=\"?", "href=\"" + Address() + "/search.php?"}, AbsoluteLinks("href", Address(), "/search.php")};
}

} // namespace

bool ConvertSixCnSearch(NavigationRequest& request, const std::wstring& address) {
    return FetchForConversion(request, address) && BuildSixCnSearch(request);
}

bool ConvertSixCnPlaylist(NavigationRequest& request, const std::wstring& address) {
    return FetchForConversion(request, address) && BuildSixCnPlaylist(request);
}

bool ConvertSixCnVideos(NavigationRequest& request, const std::wstring& address) {
    return FetchForConversion(request, address) && BuildSixCnVideos(request);
}

bool BuildSixCnSearch(NavigationRequest& request) {
    static const std::vector<Marker> markers = {
        {"div", "class", "aboxHeader", Header, &PlainBlock, {}},
        {"div", "class", "aboxTool", Tool, &PlainBlock, {}},
        {"div",
         "class",
         "aboxContent",
         Content,
         &ScriptlessBlock,
         {TargetToTag, AbsoluteLinks("href", Address(), "/playlist/")}},
        {"div",
         "class",
         "aboxContentLeft",
         Content,
         &ScriptlessBlock,
         {TargetToTag, AbsoluteLinks("href", Address(), "/watch/")}},
        {"div", "class", "pageList", PageList, &PlainBlock, {}, true},
    };
    Blocks blocks = WalkMarkers(request, markers, BlockCount);
    request.ReleaseDocument();
    return FinishLocalPage(request, SixCnHead() + blocks[Header] + blocks[Tool] + blocks[Content] + blocks[PageList],
                           SearchLinkRewrites());
}

bool BuildSixCnPlaylist(NavigationRequest& request) {
    static const std::vector<Marker> markers = {
        {"div", "id", "PzjIntro", Intro, &ScriptlessBlock, {{"href=\"#\"", ""}}},
        {"div", "id", "PzjMain", Main, &PlainBlock, {AbsoluteLinks("href", Address(), "/"), TargetToTag}, true},
    };
    Blocks blocks = WalkMarkers(request, markers, BlockCount);
    request.ReleaseDocument();
    return FinishLocalPage(request, SixCnMemoHead() + blocks[Intro] + blocks[Main], SearchLinkRewrites());
}

bool BuildSixCnVideos(NavigationRequest& request) {
    static const std::vector<Marker> markers = [] {
        // Relative category links start with one of seven letters; they lead to "/videos/".
        std::vector<TextPatch> listPatches = {TargetToTag};
        for (std::string letter : {"o", "n", "p", "c", "f", "d", "x"})
            listPatches.push_back({"href=\"" + letter, "href=\"" + Address() + "/videos/" + letter});
        return std::vector<Marker>{
            {"div", "class", "aboxTab stepBao", Tabs, &PlainBlock, {}},
            {"div", "class", "aboxRT", List, &ScriptlessBlock, listPatches, true},
        };
    }();
    Blocks blocks = WalkMarkers(request, markers, BlockCount);
    request.ReleaseDocument();
    return FinishLocalPage(request, SixCnHead() + blocks[Tabs] + blocks[List], {AbsoluteLinks("href", Address(), "/")});
}
