#pragma once
// The three page kinds of the provider tagged "6": search, a play list, and the video
// listing. Their blocks lose their first script and keep no link targets.

#include "convert/PageConverter.h"

bool ConvertSixCnSearch(NavigationRequest& request, const std::wstring& address);
bool ConvertSixCnPlaylist(NavigationRequest& request, const std::wstring& address);
bool ConvertSixCnVideos(NavigationRequest& request, const std::wstring& address);

bool BuildSixCnSearch(NavigationRequest& request);
bool BuildSixCnPlaylist(NavigationRequest& request);
bool BuildSixCnVideos(NavigationRequest& request);
