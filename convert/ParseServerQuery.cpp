#include "convert/ParseServerQuery.h"

#include "convert/ProviderHosts.h"
#include "platform/base/Utf8.h"
#include "playback/Resolvers.h"

std::wstring ParseServerQuery(DWORD flvParseServer, VideoPageKind kind, const std::wstring& pageUrl) {
    if (flvParseServer == 0)
        return platform::WideFromUtf8(AddressOf(HostRole::ParseServer1)) + L"/parse.php?kw=" + pageUrl;
    return platform::WideFromUtf8(AddressOf(HostRole::ParseServer2)) +
           (kind == VideoPageKind::PlayIndex ? L"/?dd=" : L"/?url=") + pageUrl;
}

bool ResolveThroughParseServer(NavigationRequest& request, const std::wstring& pageUrl, VideoPageKind kind) {
    return ResolveThroughParseServer(request, pageUrl, kind, request.FlvParseServer());
}

bool ResolveThroughParseServer(NavigationRequest& request, const std::wstring& pageUrl, VideoPageKind kind,
                               DWORD flvParseServer) {
    bool firstServer = flvParseServer == 0;
    if (kind == VideoPageKind::VideoPage)
        request.SetProvider(firstServer ? Provider::Flvcd : Provider::EightFan);
    std::wstring query = ParseServerQuery(flvParseServer, kind, pageUrl);
    return firstServer ? FlvcdResolver(request, query) : EightFanResolver(request, query);
}
