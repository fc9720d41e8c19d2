#pragma once
// Turning a provider's video page into something to play, through one of the two parse
// servers. The query address is the parse server's address with the page address in
// it. Each returns true when a player was started or the play list handed on.

#include "fetch/NavigationRequest.h"

#include <optional>
#include <string>

// Parse server 1: an HTML page whose hidden "inf" field lists the parts.
bool FlvcdResolver(NavigationRequest& request, const std::wstring& query);
// Parse server 2: a ready M3U text, or one bare stream address.
bool EightFanResolver(NavigationRequest& request, const std::wstring& query);

// The value of parse server 1's first hidden "inf" field in the request's parsed
// page, or nothing; releases the parsed tree.
std::optional<std::string> HiddenInfValue(NavigationRequest& request);
