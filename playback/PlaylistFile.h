#pragma once
// Reading the play list video.m3u back, for the play-list window. Each "#EXTINF" line
// starts an entry (its duration up to the first comma, its title after it); the next
// line beginning with "http://" or "\" is that entry's address and completes it. Lines
// may end in LF or CR LF; empty lines and every other line ("#EXTM3U") are skipped. The
// bytes are in the ANSI code page.

#include <string>
#include <string_view>
#include <vector>

struct PlaylistEntry {
    std::wstring title;
    std::wstring address;
    std::wstring duration; // "0" in the files the program writes; kept, never shown
};

// The entries in file order. An address with no entry waiting for one (before the
// first "#EXTINF", or a second address after one) belongs to no entry and is skipped.
std::vector<PlaylistEntry> ParsePlaylist(std::string_view bytes);
// The entries of the device file; none when it cannot be read.
std::vector<PlaylistEntry> ReadPlaylist(const std::wstring& devicePath);
