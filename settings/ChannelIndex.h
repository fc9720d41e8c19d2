#pragma once
// The keys of the channel list's index bar. A channel is filed under the first initial
// its name gives, read from the name's bytes in the device's ANSI code page (GBK): a
// Latin letter gives itself in upper case, a first-level GB2312 character the initial
// of its reading; digits, signs and every other character give nothing.

#include "settings/ChannelFile.h"

#include <string>
#include <string_view>
#include <vector>

// The initial of the two-byte character `code` (lead byte × 256 + trail byte), or 0
// outside the first-level characters.
wchar_t Gb2312Initial(unsigned code);
// The key of a name given as ANSI bytes: one letter, or empty when no character gives one.
std::wstring IndexKeyOfAnsi(std::string_view name);
// The key of a name given as wide text, through the ANSI code page.
std::wstring IndexKey(std::wstring_view name);
// The first channel, in file order, whose key is exactly `letter`; -1 when none is (an
// empty letter leads to no channel, not to those without a key).
int FirstChannelWithKey(const std::vector<ChannelEntry>& channels, std::wstring_view letter);
