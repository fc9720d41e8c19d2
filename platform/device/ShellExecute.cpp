#include "platform/device/ShellExecute.h"

#include "platform/base/HandleTable.h"
#include "platform/base/LastError.h"
#include "platform/device/Process.h"

#include <cwctype>
#include <string>
#include <string_view>

namespace {

// Above 32: started.
constexpr int Started = 33;
// What hInstApp says for a file that is no program (ERROR_BAD_FORMAT).
constexpr int NotAProgram = 11;

bool SameText(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i])))
            return false;
    }
    return true;
}

int OldStyleCode(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return SE_ERR_FNF;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return SE_ERR_PNF;
    case ERROR_ACCESS_DENIED: return SE_ERR_ACCESSDENIED;
    case ERROR_BAD_EXE_FORMAT: return NotAProgram;
    default: return 0; // out of resources, the old way
    }
}

BOOL Fail(SHELLEXECUTEINFO& info, DWORD error, int code) {
    info.hInstApp = reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(code));
    return platform::FailWith(error);
}

} // namespace

BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) {
    if (!info || info->cbSize != sizeof(SHELLEXECUTEINFO))
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    info->hProcess = nullptr;
    if (!info->lpFile || !*info->lpFile)
        return Fail(*info, ERROR_FILE_NOT_FOUND, SE_ERR_FNF);
    std::wstring_view verb = info->lpVerb ? info->lpVerb : L"";
    if (!verb.empty() && !SameText(verb, L"open"))
        return Fail(*info, ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC);
    std::wstring file = info->lpFile;
    if (file.find(L'\\') == std::wstring::npos)
        file = L"\\Windows\\" + file;
    if (file.size() < 4 || !SameText(std::wstring_view(file).substr(file.size() - 4), L".exe"))
        return Fail(*info, ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC);

    std::wstring commandLine = info->lpParameters ? info->lpParameters : L"";
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(file.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                        &process)) {
        DWORD error = GetLastError();
        return Fail(*info, error, OldStyleCode(error));
    }
    CloseHandle(process.hThread);
    if (info->fMask & SEE_MASK_NOCLOSEPROCESS)
        info->hProcess = process.hProcess;
    else
        CloseHandle(process.hProcess);
    info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(Started));
    return TRUE;
}
