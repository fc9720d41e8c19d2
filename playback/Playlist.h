#pragma once
// The play list \Data\video.m3u that the resolvers write and the play-list window reads,
// and what happens to it once written. Workers write it whole into a temporary file
// that then replaces it, so two resolutions finishing together never mix their lines.

#include "fetch/NavigationRequest.h"

#include <string>
#include <vector>

// One part as a resolver found it, in the parse server's bytes.
struct PlaylistPart {
    std::string title;
    std::string address;
};

std::wstring PlaylistPath();
constexpr const wchar_t* PlaylistNotCreated = L"创建播放列表失败";
// Replaces video.m3u with exactly these bytes; false when it cannot be written.
bool WritePlaylistFile(const std::string& bytes);
// "#EXTM3U" and one "#EXTINF:0,<title>" / address pair per entry, every line ending in
// a line feed. Line breaks inside a title become spaces and addresses are taken as
// StreamAddress gives them, so that no entry can add lines of its own.
std::string PlaylistText(const std::vector<PlaylistPart>& entries);
// An address as a player must receive it: blanks, CR and LF around it trimmed, then cut
// at the first CR or LF left inside. Parse servers put line breaks between entries.
std::string StreamAddress(std::string_view text);
// Whether a parse server's bare answer can be a stream: an address with a scheme
// ("http://...") or a device path ("\..."), and never one a player could take for an
// option. An error page or a message is not played.
bool LooksLikeStreamAddress(std::string_view address);
// Plays a parse server's one address (StreamAddress of `text`) with the player the
// request's settings select; false, without a word, when it is no stream address.
bool PlaySingleAddress(NavigationRequest& request, std::string_view text);
// With the built-in player selected the browser view is asked to show the play list;
// otherwise the external player is started on it.
bool HandOffPlaylist(NavigationRequest& request);
