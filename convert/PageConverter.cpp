#include "convert/PageConverter.h"

#include "convert/ConverterPrimitives.h"
#include "convert/PageTemplates.h"

bool FetchForConversion(NavigationRequest& request, const std::wstring& address) {
    if (request.Fetch(address, NavigationRequest::FetchMode::Parse))
        return true;
    return FailConversion(request);
}

bool FailConversion(NavigationRequest& request) {
    request.Ui().CloseWaitDialog();
    return false;
}

bool FinishLocalPage(NavigationRequest& request, std::string page, const std::vector<TextPatch>& linkRewrites) {
    page += PageFooter;
    ApplyPatches(page, linkRewrites);
    return WriteLocalPage(request.Ui(), request.OutputPath(), page);
}

TextPatch AbsoluteLinks(std::string_view attribute, const std::string& address, std::string_view path) {
    std::string opening = std::string(attribute) + "=\"";
    return {opening + std::string(path), opening + address + std::string(path)};
}
