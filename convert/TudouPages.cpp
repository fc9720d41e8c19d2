#include "convert/TudouPages.h"

#include "convert/ConverterPrimitives.h"
#include "convert/PageTemplates.h"
#include "convert/PagedListing.h"
#include "convert/ProviderHosts.h"

namespace {

enum Block { Title, Filter, Results, Main, Nav, BlockCount };

const TextPatch NoNewTarget{"target=\"new\"", ""};

// A search page whose heading lacks the marked class takes the page's first "h1",
// whose opening (as this page kind writes it) gets the class.
void TakeFirstHeading(NavigationRequest& request, std::string& title, std::string_view opening) {
    for (auto& node : request.Document()) {
        if (node.isTag() && node.tagName() == "h1") {
            title = PlainBlock(ElementText(request.PageText(), node));
            ReplaceAll(title, opening, "<h1 class='underline'>");
            return;
        }
    }
}

bool BuildSearch(NavigationRequest& request, std::string_view headingOpening, std::string_view path) {
    static const std::vector<Marker> markers = {
        {"h1", "class", "underline", Title, &PlainBlock, {}},
        {"div", "class", "filter_tab", Filter, &PlainBlock, {}},
        {"div", "class", "box search_result", Results, &PlainBlock, {NoNewTarget}, true},
    };
    Blocks blocks = WalkMarkers(request, markers, BlockCount);
    if (blocks[Title].empty())
        TakeFirstHeading(request, blocks[Title], headingOpening);
    request.ReleaseDocument();
    return FinishLocalPage(request, TudouHead() + blocks[Title] + blocks[Filter] + blocks[Results],
                           {AbsoluteLinks("href", AddressOf(HostRole::TudouSearch), path)});
}

std::string CurrentPageEntry(std::size_t page) {
    return "<li class='page_nav_current'>" + std::to_string(page) + "</li>";
}

bool ClassContains(const htmlcxx::HTML::Node& node, std::string_view text) {
    auto found = node.attributes().find("class");
    return found != node.attributes().end() && found->second.find(text) != std::string::npos;
}

} // namespace

bool ConvertTudouVideoSearch(NavigationRequest& request, const std::wstring& address) {
    return FetchForConversion(request, address) && BuildTudouVideoSearch(request);
}

bool ConvertTudouPlaylistSearch(NavigationRequest& request, const std::wstring& address) {
    return FetchForConversion(request, address) && BuildTudouPlaylistSearch(request);
}

bool ConvertTudouTop(NavigationRequest& request, const std::wstring& address) {
    return FetchForConversion(request, address) && BuildTudouTop(request);
}

bool ConvertTudouPlaylist(NavigationRequest& request, const std::wstring& address) {
    return FetchForConversion(request, address) && BuildTudouPlaylist(request);
}

bool BuildTudouVideoSearch(NavigationRequest& request) { return BuildSearch(request, "<h1>", "/isearch/"); }

bool BuildTudouPlaylistSearch(NavigationRequest& request) { return BuildSearch(request, "<h1 >", "/psearch/"); }

bool BuildTudouTop(NavigationRequest& request) {
    static const std::vector<Marker> markers = {
        {"div", "class", "main_col", Main, &PlainBlock, {NoNewTarget}},
        {"div", "class", "nav_channel", Nav, &PlainBlock, {}, true},
    };
    Blocks blocks = WalkMarkers(request, markers, BlockCount);
    request.ReleaseDocument();
    return FinishLocalPage(request, TudouHead() + blocks[Nav] + blocks[Main],
                           {AbsoluteLinks("href", AddressOf(HostRole::TudouSearch), "/psearch/")});
}

bool BuildTudouPlaylist(NavigationRequest& request) {
    std::string title;
    std::vector<std::string>& items = request.ItemFragments();
    // Cards nested in cards are taken each time: past the listing's bounds nothing more is gathered.
    std::size_t itemBytes = 0;
    auto full = [&] { return items.size() >= MaximumListingItems || itemBytes >= MaximumListingBytes; };
    for (auto& node : request.Document()) {
        if (!node.isTag())
            continue;
        if (node.tagName() == "li" && title.empty() && AttributeEquals(node, "class", "lstTitle")) {
            title = ElementText(request.PageText(), node);
            // Letters, not tags: every "li" in the title becomes "div".
            ReplaceAll(title, "li", "div");
        } else if (node.tagName() == "div" && node.text().find("pack_clip") != std::string::npos) {
            // Attributes are parsed only for a tag whose text holds the class at all.
            node.parseAttributes();
            if (ClassContains(node, "pack_clip") && !full()) {
                std::string item(ElementText(request.PageText(), node));
                itemBytes += item.size();
                ReplaceAll(item, NoNewTarget.pattern, NoNewTarget.replacement);
                items.push_back(std::move(item));
            }
        }
    }
    request.ReleaseDocument();
    return WritePagedListing(request, TudouScriptHead(), title, items, &CurrentPageEntry, {{"alt=", "src="}});
}
