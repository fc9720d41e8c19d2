#pragma once
// The faults a hostile server or network deals, by name, as raw replies: for the
// HTTP tests and the soak that mixes them with good pages.

#include "support/RawServer.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// "loop" (a redirect to itself), "to-file" (a redirect to a file address), "bad-chunk",
// "cut-chunk", "bad-length", "silence" (a status line, then nothing), "cut" (half the
// announced body, then the connection closes), "drip" (a byte every 100 ms),
// "error-page" (500 with a page), "deep" (110,000 nested tags), "unmatched" (60,000
// end tags that match nothing, under 1,500 open ones), "huge" (a body over 32 MiB),
// "option" (a bare answer a player could take for an option).
const std::vector<std::string>& FaultNames();
// A piece of text so many times over: the hostile pages are made of these.
std::string Repeated(std::string_view piece, std::size_t times);
std::optional<RawReply> FaultReply(std::string_view name);
// The good answer beside the faults: the repository's fixture file for the request's
// host, path and query as the server on `port` would serve it, or a 404.
RawReply SiteFileReply(const RawRequest& request, int port);
