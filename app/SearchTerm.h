#pragma once
// How a search typed in the main window becomes a provider address: the text goes into
// the provider's query encoded, except for the one provider that takes it as typed.

#include <string>

struct ProviderEntry;

// The providers' query encoding of `text`: its UTF-8 bytes, ASCII letters and digits
// kept, a space as "+", every other byte as "%" and two lower-case hexadecimal digits.
std::wstring EncodeSearchTerm(const std::wstring& text);

// Search modes of the main window.
constexpr int VideoSearch = 0;
constexpr int AlbumSearch = 1;

// The address that searches `provider`, the list's row `row`, for `text`: the video or
// album prefix by `mode`, then the term.
std::wstring SearchAddress(const ProviderEntry& provider, int row, int mode, const std::wstring& text);
