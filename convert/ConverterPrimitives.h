#pragma once
// The primitives every page converter is made of. All work on bytes of the page text.

#include "fetch/CoreUi.h"
#include "fetch/PageDocument.h" // ElementText and AttributeEquals

#include <string>
#include <string_view>

// Replaces the first occurrence from the start of the text, then looks again from the
// start, until none is left; the result is that of this loop, computed in one pass.
// A replacement that holds its own pattern would never end that loop: it is then
// applied once to each occurrence from left to right instead. A replacement that
// forms its pattern anew with the text around it, again and again, is stopped after a
// bounded amount of work and growth; the converters' pairs never do either.
void ReplaceAll(std::string& text, std::string_view pattern, std::string_view replacement);

// Deletes from the first "<script" through the first "</script>"; a text without that
// pair in that order is left as it is.
void StripFirstScript(std::string& text);

// Writes the text and one line feed to the device file (created or truncated), then
// closes the wait dialog. False when the page could not be written whole: what was
// written of it is removed, so the browser is never sent to half a page.
bool WriteLocalPage(CoreUi& ui, const std::wstring& path, const std::string& text);
// The same without closing the wait dialog, for converters that write several files.
bool WritePageFile(const std::wstring& path, const std::string& text);
