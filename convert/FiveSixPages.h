#pragma once
// The three page kinds of the provider tagged "56": the index search and the video list
// on its search host, and an album, which is built from the provider's album data
// service rather than from the album page.

#include "convert/PageConverter.h"

#include <string>
#include <vector>

bool ConvertFiveSixIndexSearch(NavigationRequest& request, const std::wstring& address);
bool ConvertFiveSixVideoList(NavigationRequest& request, const std::wstring& address);
bool ConvertFiveSixAlbum(NavigationRequest& request, const std::wstring& address);

bool BuildFiveSixIndexSearch(NavigationRequest& request);
bool BuildFiveSixVideoList(NavigationRequest& request);

struct AlbumAddress {
    std::string server; // the two characters after the main host and "/w"
    std::string albumId;
    std::wstring data; // the album data service's address
};

struct AlbumRecord {
    std::string videoId, title, cover, author, addTime;
};

AlbumAddress AlbumAddressOf(const std::wstring& albumUrl);
// The data text without its wrapping: from byte 11 to the last byte before the end of
// the first line. Shorter texts hold no records.
std::string TrimAlbumData(const std::string& data);
// The records in their order, as far as every one of their keys is found, and no more
// than a listing shows (MaximumListingItems).
std::vector<AlbumRecord> CutAlbumRecords(const std::string& trimmed);
// The local calendar date of seconds since 1970 as "YYYY-MM-DD"; "0000-00-00" when the
// time is negative or beyond what the platform can convert.
std::string AlbumDate(const std::string& addTime);
// Writes the album's paged listing from the trimmed data text.
bool BuildFiveSixAlbum(NavigationRequest& request, const AlbumAddress& album);
