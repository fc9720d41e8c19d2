#include "convert/YoukuPages.h"

#include "convert/ConverterPrimitives.h"
#include "convert/PageTemplates.h"
#include "convert/ProviderHosts.h"
#include "platform/text/AnsiText.h"

namespace {

enum Block { Tabs, Head, Detail, List, Videos, Tree, PageBar, Sorry, BlockCount };

const TextPatch NoDisplayNone{"display:none", ""};
const TextPatch NoVideoTarget{"target=\"video\"", ""};
const TextPatch NoBlankTarget{"target=\"_blank\"", ""};

std::vector<Marker> SearchMarkers(std::vector<TextPatch> detailPatches) {
    return {
        {"ul", "class", "tabs", Tabs, &TabBarBlock, {}},
        {"div", "class", "sorry", Sorry, &BareBlock, {}, true},
        {"div", "class", "searchHead", Head, &PlainBlock, {}},
        {"div", "id", "detail", Detail, &PlainBlock, std::move(detailPatches)},
        {"div", "class", "LPageBar", PageBar, &PlainBlock, {}, true},
    };
}

// The search page shows its results, or else the provider's notice that there are none.
bool BuildSearch(NavigationRequest& request, const std::vector<Marker>& markers, std::string_view path) {
    Blocks blocks = WalkMarkers(request, markers, BlockCount);
    request.ReleaseDocument();
    std::string page = YoukuHead();
    if (!blocks[Detail].empty())
        page += blocks[Head] + blocks[Tabs] + blocks[Detail] + blocks[PageBar];
    else
        page += blocks[Sorry];
    return FinishLocalPage(request, std::move(page), {AbsoluteLinks("href", AddressOf(HostRole::YoukuSearch), path)});
}

// The channel's category menu; a second-level list gets an id and a link that opens it.
std::string TreeBlock(std::string_view text) {
    static const std::string expander = platform::AnsiFromWide(
        L"<div class=\"tree2div\"><a onclick=\"TriggerTree(this)\">[展开二级菜单]</a></div></div>");
    std::string block = "<div class=\"treelist\">" + std::string(text);
    if (block.find("class=\"tree2\"") == std::string::npos)
        return block + std::string(ClearDivision) + "</div>";
    ReplaceAll(block, "<ul class=\"tree2\">", "<ul id=\"tree2\" class=\"tree2\">");
    return block + expander;
}

} // namespace

bool ConvertYoukuVideoSearch(NavigationRequest& request, const std::wstring& address) {
    return FetchForConversion(request, address) && BuildYoukuVideoSearch(request);
}

bool ConvertYoukuPlaylistSearch(NavigationRequest& request, const std::wstring& address) {
    return FetchForConversion(request, address) && BuildYoukuPlaylistSearch(request);
}

bool ConvertYoukuPlaylist(NavigationRequest& request, const std::wstring& address) {
    return FetchForConversion(request, address) && BuildYoukuPlaylist(request);
}

bool ConvertYoukuChannel(NavigationRequest& request, const std::wstring& address) {
    return FetchForConversion(request, address) && BuildYoukuChannel(request);
}

bool BuildYoukuVideoSearch(NavigationRequest& request) {
    static const std::vector<Marker> markers = SearchMarkers({NoDisplayNone, NoVideoTarget});
    return BuildSearch(request, markers, "/search_video/");
}

bool BuildYoukuPlaylistSearch(NavigationRequest& request) {
    static const std::string middleDot = platform::AnsiFromWide(L"\u00B7");
    static const std::vector<Marker> markers =
        SearchMarkers({NoDisplayNone, {"? ", middleDot}, NoVideoTarget, NoBlankTarget});
    return BuildSearch(request, markers, "/search_playlist/");
}

bool BuildYoukuPlaylist(NavigationRequest& request) {
    static const std::vector<Marker> markers = {
        {"ul", "class", "tabs", Tabs, &TabBarBlock, {}},
        {"div", "class", "listBase", List, &PlainBlock, {}},
        {"div", "class", "vCollImg", Videos, &PlainBlock, {NoDisplayNone, NoVideoTarget, NoBlankTarget}},
        {"div", "class", "pageBar", PageBar, &PlainBlock, {}, true},
    };
    Blocks blocks = WalkMarkers(request, markers, BlockCount);
    request.ReleaseDocument();
    if (blocks[Videos].empty())
        return FailConversion(request);
    return FinishLocalPage(request, YoukuHead() + blocks[List] + blocks[Tabs] + blocks[Videos] + blocks[PageBar],
                           {AbsoluteLinks("href", AddressOf(HostRole::YoukuSearch), "/playlist_show/")});
}

bool BuildYoukuChannel(NavigationRequest& request) {
    static const std::string main = AddressOf(HostRole::YoukuMain);
    static const std::vector<Marker> markers = {
        {"ul", "class", "tree", Tree, &TreeBlock, {}},
        {"ul", "class", "tabs", Tabs, &TabBarBlock, {}},
        {"div",
         "class",
         "vCollImg",
         Videos,
         &PlainBlock,
         {AbsoluteLinks("src", main, "/index/"), NoVideoTarget, NoBlankTarget}},
        {"div", "class", "LPageBar", PageBar, &PlainBlock, {}, true},
    };
    Blocks blocks = WalkMarkers(request, markers, BlockCount);
    request.ReleaseDocument();
    if (blocks[Videos].empty())
        return FailConversion(request);
    return FinishLocalPage(request, YoukuTreeHead() + blocks[Tree] + blocks[Tabs] + blocks[Videos] + blocks[PageBar],
                           {AbsoluteLinks("href", main, "/v_showlist/")});
}
