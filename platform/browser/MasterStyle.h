#pragma once
// The style every page starts from before its own sheets: which elements are blocks,
// lists, tables and hidden, and the few defaults of text (headings, links, emphasis).

namespace platform::browser {

extern const char* const MasterStyle;

} // namespace platform::browser
