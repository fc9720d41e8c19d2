#pragma once
// A long list of items spread over local pages of 30 items each. Page 1 is the
// request's output path, page N the same path with N before ".html". Every page has
// the head, the title block, its items and a page bar with one entry per page: the
// converter's own markup for the current page, a link to the file for the others.
// The wait dialog is closed once, after the last page.

#include "convert/MarkerWalk.h"
#include "fetch/NavigationRequest.h"

#include <string>
#include <vector>

constexpr std::size_t ItemsPerPage = 30;
// Every page's bar links to every other page, so the bytes written grow with the square
// of the pages: a listing holds at most 3,000 items (100 pages), and a converter stops
// gathering items once they hold MaximumListingBytes.
constexpr std::size_t MaximumListingItems = 3000;
constexpr std::size_t MaximumListingBytes = 64u << 20;

// The path of page `page` (1 for the output path itself).
std::wstring PagePath(const std::wstring& outputPath, std::size_t page);

// Always writes at least one page, so the browser has a page to show: a list without
// items gets one page with an empty list and an empty page bar. `pagePatches` are
// applied to each whole page before it is written. Items beyond MaximumListingItems are
// left out. False, with no page left behind, when a page cannot be written.
bool WritePagedListing(NavigationRequest& request, const std::string& head, const std::string& titleBlock,
                       const std::vector<std::string>& items, std::string (*currentEntry)(std::size_t page),
                       const std::vector<TextPatch>& pagePatches = {});
