#include "convert/PagedListing.h"

#include "convert/ConverterPrimitives.h"
#include "platform/fs/FileApi.h"
#include "platform/text/AnsiText.h"

#include <algorithm>

std::wstring PagePath(const std::wstring& outputPath, std::size_t page) {
    constexpr std::wstring_view Extension = L".html";
    if (page <= 1 || outputPath.size() < Extension.size())
        return outputPath;
    return outputPath.substr(0, outputPath.size() - Extension.size()) + std::to_wstring(page) + std::wstring(Extension);
}

bool WritePagedListing(NavigationRequest& request, const std::string& head, const std::string& titleBlock,
                       const std::vector<std::string>& items, std::string (*currentEntry)(std::size_t page),
                       const std::vector<TextPatch>& pagePatches) {
    std::size_t itemCount = std::min(items.size(), MaximumListingItems);
    std::size_t pageCount = (itemCount + ItemsPerPage - 1) / ItemsPerPage;
    // Every page's bar links to every other page: each link is made once.
    std::vector<std::string> links;
    for (std::size_t k = 1; k <= pageCount; ++k)
        links.push_back("<li><a href='" + platform::AnsiFromWide(PagePath(request.OutputPath(), k)) + "'>" +
                        std::to_string(k) + "</a></li>");
    for (std::size_t page = 1; page <= std::max<std::size_t>(pageCount, 1); ++page) {
        std::string text = head + titleBlock + "<div id='programListBox' class='pack_clip'>";
        std::size_t first = (page - 1) * ItemsPerPage;
        for (std::size_t i = first; i < std::min(itemCount, first + ItemsPerPage); ++i)
            text += items[i];
        text += "</div><div class=\"clear\"></div><div id='pagebarBox' class='page_nav'><ul>";
        for (std::size_t k = 1; k <= pageCount; ++k)
            text += k == page ? currentEntry(k) : links[k - 1];
        text += "</ul></div></div></body></html>";
        ApplyPatches(text, pagePatches);
        if (!WritePageFile(PagePath(request.OutputPath(), page), text)) {
            // A listing with a page missing is no listing: the pages before it go too.
            for (std::size_t written = 1; written < page; ++written)
                DeleteFileW(PagePath(request.OutputPath(), written).c_str());
            request.Ui().CloseWaitDialog();
            return false;
        }
    }
    request.Ui().CloseWaitDialog();
    return true;
}
