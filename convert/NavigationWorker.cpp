#include "convert/NavigationWorker.h"

NavigationOutcome RunNavigation(CoreUi& ui, const std::wstring& address) {
    NavigationRequest request(ui);
    ClassifyResult result = UrlClassifier(request, address);
    if (result == ClassifyResult::PageWritten)
        ui.Navigate(request.OutputPath());
    else if (result == ClassifyResult::PageFailed)
        ui.MessageBox(ui.OwnerWindow(), L"页面解析失败！", L"错误", MessageBoxOk);
    return {result, request.OutputPath()};
}
