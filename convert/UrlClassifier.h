#pragma once
// Where an intercepted address goes: the ordered rules (ClassifierRules.h) look at the
// address's text alone and hand it to one converter, one parse-server resolution or
// the player.

#include "fetch/NavigationRequest.h"

#include <optional>
#include <string>
#include <string_view>

enum class ClassifyResult {
    PageWritten = 0,     // a local page waits at the request's output path
    PageFailed = 1,      // the page could not be converted, or no rule knows the address
    PlaybackFailed = 2,  // resolution or playing was tried and has reported its failure
    PlaybackStarted = 3, // a player was started or the play list handed on
};

ClassifyResult UrlClassifier(NavigationRequest& request, const std::wstring& url);

// The rule an address meets, numbered from 1 in the order they are tried, and what it
// does with the address. Nothing when no rule knows it.
struct Route {
    int rule;
    std::wstring_view tag; // the provider tag the rule gives; empty: the request's stays
    std::string_view routine;
    std::wstring address; // as the routine receives it
};
std::optional<Route> RouteFor(const std::wstring& url);
