#pragma once
// What the worker of one intercepted navigation does: builds the request, lets the
// classifier run, and tells the user interface the outcome: a written page is shown
// in the browser, a failed one gets the message "页面解析失败！".

#include "convert/UrlClassifier.h"
#include "fetch/CoreUi.h"

#include <string>

struct NavigationOutcome {
    ClassifyResult result;
    std::wstring outputPath; // the request's output path, whether written or not
};

NavigationOutcome RunNavigation(CoreUi& ui, const std::wstring& address);
