#include "fetch/NavigationRequest.h"

#include "fetch/HttpSession.h"
#include "platform/base/LastError.h"
#include "platform/com/Com.h"
#include "platform/text/AnsiText.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"

#include <cstdio>

namespace {

std::wstring NewOutputPath() {
    GUID guid{};
    CoCreateGuid(&guid);
    char digits[33];
    std::snprintf(digits, sizeof digits, "%08x%04x%04x%02x%02x%02x%02x%02x%02x%02x%02x", guid.Data1, guid.Data2,
                  guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return ProgramFolderPath(L"\\temp\\") + std::wstring(digits, digits + 32) + L".html";
}

} // namespace

NavigationRequest::NavigationRequest(CoreUi& ui) : m_ui(ui) {
    CoInitialize(nullptr);
    m_outputPath = NewOutputPath();
    std::wstring settings = ProgramFolderPath(L"\\Data\\Setting.ini");
    int value = 0;
    if (IniReadInt(L"Player", L"EnableFtVideo", value, settings.c_str()))
        m_enableFtVideo = static_cast<DWORD>(value);
    if (IniReadInt(L"Network", L"FlvParseServer", value, settings.c_str()))
        m_flvParseServer = static_cast<DWORD>(value);
}

NavigationRequest::~NavigationRequest() { CoUninitialize(); }

bool NavigationRequest::Fetch(const std::wstring& url, FetchMode mode) {
    std::wstring address = !url.empty() && url.front() == L'#' ? url.substr(1) : url;
    m_ui.ShowWaitDialog(m_ui.OwnerWindow(), nullptr, 1);
    HttpSession session;
    const char* body = session.Request(address.c_str(), false, nullptr, -1);
    if (body && AcceptPage(std::string(body, session.BodyLength()), mode))
        return true;
    if (body && m_pageRefused) {
        // Not a download failure: the caller's conversion fails and says so.
        m_ui.CloseWaitDialog();
        return false;
    }
    DWORD error = body ? GetLastError() : session.LastError();
    m_ui.CloseWaitDialog();
    m_ui.MessageBox(m_ui.OwnerWindow(), L"获取数据失败！\r\n 错误码：" + std::to_wstring(static_cast<LONG>(error)),
                    L"错误", MessageBoxOk);
    return false;
}

bool NavigationRequest::AcceptPage(std::string body, FetchMode mode) {
    m_pageRefused = false;
    if (mode == FetchMode::DownloadOnly || !m_provider) {
        m_pageText = std::move(body);
        return true;
    }
    if (m_provider->pagesInUtf8) {
        // UTF-8 → wide → ANSI, in one pass.
        std::optional<std::string> converted = platform::AnsiFromUtf8(body);
        if (!converted) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return false;
        }
        body = std::move(*converted);
    }
    m_pageText = std::move(body);
    if (!m_provider->parsed)
        return true;
    m_parser.parseTree(m_pageText);
    if (!m_parser.Refused())
        return true;
    m_pageRefused = true;
    ReleaseDocument();
    SetLastError(ERROR_INVALID_DATA);
    return false;
}
