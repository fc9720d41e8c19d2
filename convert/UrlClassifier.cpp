#include "convert/UrlClassifier.h"

#include "convert/ClassifierRules.h"
#include "convert/ParseServerQuery.h"
#include "playback/PlayerLauncher.h"

namespace {

// A pattern counts from position 1 on: no address starts with one.
bool Contains(const std::wstring& url, const std::wstring& pattern) {
    std::size_t at = url.find(pattern);
    return at != std::wstring::npos && at > 0;
}

bool Matches(const ClassifierRule& rule, const std::wstring& url) {
    for (const std::wstring& pattern : rule.patterns) {
        if (Contains(url, pattern))
            return true;
    }
    return false;
}

ClassifyResult Playback(bool started) {
    return started ? ClassifyResult::PlaybackStarted : ClassifyResult::PlaybackFailed;
}

} // namespace

std::optional<Route> RouteFor(const std::wstring& url) {
    const std::vector<ClassifierRule>& rules = ClassifierRules();
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const ClassifierRule& rule = rules[i];
        if (Matches(rule, url))
            return Route{static_cast<int>(i + 1), rule.provider ? rule.provider->tag : std::wstring_view(),
                         rule.routine, rule.rewrite ? rule.rewrite(url) : url};
    }
    return std::nullopt;
}

ClassifyResult UrlClassifier(NavigationRequest& request, const std::wstring& url) {
    std::optional<Route> route = RouteFor(url);
    if (!route)
        return ClassifyResult::PageFailed;
    const ClassifierRule& rule = ClassifierRules()[route->rule - 1];
    if (rule.action == RuleAction::Convert)
        return RunConverter(rule, request, url) ? ClassifyResult::PageWritten : ClassifyResult::PageFailed;
    if (rule.provider)
        request.SetProvider(*rule.provider);
    switch (rule.action) {
    case RuleAction::ResolvePlayIndex:
        return Playback(ResolveThroughParseServer(request, route->address, VideoPageKind::PlayIndex));
    case RuleAction::ResolveVideoPage:
        return Playback(ResolveThroughParseServer(request, route->address, VideoPageKind::VideoPage));
    case RuleAction::PlayDirectly: return Playback(PlayerLauncher(request, route->address));
    case RuleAction::Convert: break;
    }
    return ClassifyResult::PageFailed;
}
