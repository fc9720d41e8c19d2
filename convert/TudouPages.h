#pragma once
// The four page kinds of the provider tagged "tudou": video search (table view), play-list
// search, the top listing and one play list, which is spread over pages of 30 cards.

#include "convert/PageConverter.h"

bool ConvertTudouVideoSearch(NavigationRequest& request, const std::wstring& address);
bool ConvertTudouPlaylistSearch(NavigationRequest& request, const std::wstring& address);
bool ConvertTudouTop(NavigationRequest& request, const std::wstring& address);
bool ConvertTudouPlaylist(NavigationRequest& request, const std::wstring& address);

// The same after the download.
bool BuildTudouVideoSearch(NavigationRequest& request);
bool BuildTudouPlaylistSearch(NavigationRequest& request);
bool BuildTudouTop(NavigationRequest& request);
bool BuildTudouPlaylist(NavigationRequest& request);
