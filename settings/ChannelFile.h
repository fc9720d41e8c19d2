#pragma once
// The user's custom channels, "\Data\Channel.ini" in the program folder: narrow text in
// the device's ANSI code page (GBK), one block per channel. It is no settings file and
// has a reader of its own; the program never writes it, users edit it outside.
//
// A block: a line holding "[" starts a channel named by the text between the first "["
// and the last "]"; a line holding "Path=" gives its path; a line holding "Type=" gives
// its type and completes it. A line is tested for the three in that order, so a path
// holding a "[" starts a channel instead. A "Type=" line before any path drops the block.

#include <string>
#include <string_view>
#include <vector>

constexpr const wchar_t* ChannelFileName = L"\\Data\\Channel.ini";

// What choosing a channel does, by its type; any other type does nothing.
constexpr int VideoChannel = 0; // the built-in video player plays the path
constexpr int MusicChannel = 1; // the built-in music player plays the path
constexpr int PageChannel = 2;  // the browser view opens the path

struct ChannelEntry {
    // "A" to "Z", or empty: the index bar never leads to the channel.
    std::wstring key;
    std::wstring name;
    std::wstring path;
    int type = 0;
};

// The completed channels of the file's bytes, in file order.
std::vector<ChannelEntry> ParseChannelFile(std::string_view bytes);
// The channels of a device file; none when it is missing, unreadable or far too large
// to be a channel list.
std::vector<ChannelEntry> ReadChannelFile(const std::wstring& file);
