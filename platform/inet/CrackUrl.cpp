#include "platform/base/LastError.h"
#include "platform/inet/WinInet.h"

#include <cwchar>
#include <cwctype>
#include <string_view>

namespace {

struct Piece {
    std::size_t start = 0;
    std::size_t length = 0;
};

struct CrackedUrl {
    Piece scheme, user, password, host, path, extra;
    DWORD schemeNumber = INTERNET_SCHEME_UNKNOWN;
    INTERNET_PORT port = INTERNET_INVALID_PORT_NUMBER;
};

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    }
    return true;
}

bool Split(std::wstring_view url, bool splitExtra, CrackedUrl& out) {
    std::size_t colon = url.find(L':');
    if (colon == 0 || colon == std::wstring_view::npos || url.substr(colon + 1, 2) != L"//")
        return false;
    out.scheme = {0, colon};
    std::wstring_view scheme = url.substr(0, colon);
    if (EqualsIgnoringCase(scheme, L"http")) {
        out.schemeNumber = INTERNET_SCHEME_HTTP;
        out.port = INTERNET_DEFAULT_HTTP_PORT;
    } else if (EqualsIgnoringCase(scheme, L"https")) {
        out.schemeNumber = INTERNET_SCHEME_HTTPS;
        out.port = INTERNET_DEFAULT_HTTPS_PORT;
    }
    std::size_t authorityStart = colon + 3;
    std::size_t authorityEnd = url.find_first_of(L"/?#", authorityStart);
    if (authorityEnd == std::wstring_view::npos)
        authorityEnd = url.size();
    std::size_t hostStart = authorityStart;
    std::size_t at = url.substr(0, authorityEnd).rfind(L'@');
    if (at != std::wstring_view::npos && at >= authorityStart) {
        std::size_t userColon = url.substr(0, at).find(L':', authorityStart);
        if (userColon == std::wstring_view::npos) {
            out.user = {authorityStart, at - authorityStart};
        } else {
            out.user = {authorityStart, userColon - authorityStart};
            out.password = {userColon + 1, at - userColon - 1};
        }
        hostStart = at + 1;
    }
    std::size_t portColon = url.substr(0, authorityEnd).find(L':', hostStart);
    std::size_t hostEnd = portColon == std::wstring_view::npos ? authorityEnd : portColon;
    if (hostEnd == hostStart)
        return false;
    out.host = {hostStart, hostEnd - hostStart};
    if (portColon != std::wstring_view::npos && portColon + 1 < authorityEnd) {
        unsigned long port = 0;
        for (std::size_t i = portColon + 1; i < authorityEnd; ++i) {
            if (!std::iswdigit(url[i]) || (port = port * 10 + (url[i] - L'0')) > 65535)
                return false;
        }
        out.port = static_cast<INTERNET_PORT>(port);
    }
    std::size_t extraStart = splitExtra ? url.find_first_of(L"?#", authorityEnd) : std::wstring_view::npos;
    if (extraStart == std::wstring_view::npos)
        extraStart = url.size();
    out.path = {authorityEnd, extraStart - authorityEnd};
    out.extra = {extraStart, url.size() - extraStart};
    return true;
}

// Hands one piece out the way the caller asked for it; false when a buffer is too small.
bool Deliver(LPCWSTR url, const Piece& piece, LPWSTR& pointer, DWORD& length) {
    if (length == 0)
        return true;
    if (!pointer) {
        pointer = const_cast<LPWSTR>(url + piece.start);
        length = static_cast<DWORD>(piece.length);
        return true;
    }
    if (length <= piece.length) {
        length = static_cast<DWORD>(piece.length + 1);
        return false;
    }
    std::wmemcpy(pointer, url + piece.start, piece.length);
    pointer[piece.length] = L'\0';
    length = static_cast<DWORD>(piece.length);
    return true;
}

} // namespace

BOOL InternetCrackUrlW(LPCWSTR url, DWORD urlLength, DWORD, URL_COMPONENTSW* components) {
    if (!url || !components || components->dwStructSize != sizeof(URL_COMPONENTSW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::wstring_view text(url, urlLength ? urlLength : std::wcslen(url));
    CrackedUrl cracked;
    if (!Split(text, components->dwExtraInfoLength != 0, cracked)) {
        SetLastError(text.find(L':') == std::wstring_view::npos ? ERROR_INTERNET_UNRECOGNIZED_SCHEME
                                                                : ERROR_INTERNET_INVALID_URL);
        return FALSE;
    }
    components->nScheme = cracked.schemeNumber;
    components->nPort = cracked.port;
    bool fits = Deliver(url, cracked.scheme, components->lpszScheme, components->dwSchemeLength);
    fits &= Deliver(url, cracked.host, components->lpszHostName, components->dwHostNameLength);
    fits &= Deliver(url, cracked.user, components->lpszUserName, components->dwUserNameLength);
    fits &= Deliver(url, cracked.password, components->lpszPassword, components->dwPasswordLength);
    fits &= Deliver(url, cracked.path, components->lpszUrlPath, components->dwUrlPathLength);
    fits &= Deliver(url, cracked.extra, components->lpszExtraInfo, components->dwExtraInfoLength);
    if (!fits) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    return TRUE;
}
