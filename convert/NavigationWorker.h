#pragma once
// What the worker of one intercepted navigation does: builds the request, lets the
// classifier run, and tells the user interface the outcome: a written page is shown
// in the browser, a failed one gets the message "页面解析失败！".

#include "convert/UrlClassifier.h"
#include "fetch/CoreUi.h"

#include <cstddef>
#include <functional>
#include <string>

// The stack every worker runs on (the browser host starts them with it). Pages are
// parsed and converted within it: the parser refuses pages deep enough to need more.
constexpr std::size_t WorkerStackSize = 1u << 20;

struct NavigationOutcome {
    ClassifyResult result;
    std::wstring outputPath; // the request's output path, whether written or not
};

NavigationOutcome RunNavigation(CoreUi& ui, const std::wstring& address);
// The same, the address asked for once the request has been made.
NavigationOutcome RunNavigation(CoreUi& ui, const std::function<std::wstring()>& address);
