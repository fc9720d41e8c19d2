#pragma once
// The address that asks a parse server about a video page: the settings' server
// choice picks the server, the page address follows unchanged, without escaping.

#include "fetch/NavigationRequest.h"

#include <string>

enum class VideoPageKind { VideoPage, PlayIndex };

// Sets the request's tag for a video page ("flvcd" or "8fan"; a play index keeps the
// tag it has) and runs the matching resolver on the query; true when something plays.
bool ResolveThroughParseServer(NavigationRequest& request, const std::wstring& pageUrl, VideoPageKind kind);
// The same with the server chosen by the caller (0: parse server 1, else parse server 2).
bool ResolveThroughParseServer(NavigationRequest& request, const std::wstring& pageUrl, VideoPageKind kind,
                               DWORD flvParseServer);

// The query for the request's server choice (FlvParseServer 0: parse server 1).
std::wstring ParseServerQuery(DWORD flvParseServer, VideoPageKind kind, const std::wstring& pageUrl);
