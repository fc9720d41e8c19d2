#pragma once
// A page converter turns one provider page into a local page: (request, address) →
// true when a page was written (or counts as written), false on failure. The steps
// every converter shares are here; each provider's source holds its markers, blocks,
// output order and link rewrites.

#include "convert/MarkerWalk.h"
#include "fetch/NavigationRequest.h"

#include <string>
#include <vector>

using PageConverter = bool (*)(NavigationRequest& request, const std::wstring& address);

// Downloads and parses the page; on failure the wait dialog is closed and false returned.
bool FetchForConversion(NavigationRequest& request, const std::wstring& address);
// Closes the wait dialog and returns false: a conversion that found no page to write.
bool FailConversion(NavigationRequest& request);
// Appends the footer, makes the links absolute and writes the page to the output path.
bool FinishLocalPage(NavigationRequest& request, std::string page, const std::vector<TextPatch>& linkRewrites);
// The link rewrite "href="<path>" → "href="<address><path>".
TextPatch AbsoluteLinks(std::string_view attribute, const std::string& address, std::string_view path);
