#include "convert/NavigationWorker.h"

NavigationOutcome RunNavigation(CoreUi& ui, const std::wstring& address) {
    return RunNavigation(ui, [&address] { return address; });
}

NavigationOutcome RunNavigation(CoreUi& ui, const std::function<std::wstring()>& addressSource) {
    NavigationRequest request(ui);
    std::wstring address = addressSource();
    ClassifyResult result = UrlClassifier(request, address);
    if (result == ClassifyResult::PageWritten)
        ui.Navigate(request.OutputPath());
    else if (result == ClassifyResult::PageFailed)
        ui.MessageBox(ui.OwnerWindow(), L"页面解析失败！", L"错误", MessageBoxOk);
    return {result, request.OutputPath()};
}
