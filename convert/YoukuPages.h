#pragma once
// The four page kinds of the provider tagged "youku": video search, play-list search,
// one play list, and a channel listing.

#include "convert/PageConverter.h"

bool ConvertYoukuVideoSearch(NavigationRequest& request, const std::wstring& address);
bool ConvertYoukuPlaylistSearch(NavigationRequest& request, const std::wstring& address);
bool ConvertYoukuPlaylist(NavigationRequest& request, const std::wstring& address);
bool ConvertYoukuChannel(NavigationRequest& request, const std::wstring& address);

// The same after the download: the walk over the request's parsed page and the writing.
bool BuildYoukuVideoSearch(NavigationRequest& request);
bool BuildYoukuPlaylistSearch(NavigationRequest& request);
bool BuildYoukuPlaylist(NavigationRequest& request);
bool BuildYoukuChannel(NavigationRequest& request);
