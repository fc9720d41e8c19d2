#include "fetch/HttpSession.h"

#include "platform/base/LastError.h"
#include "platform/device/CallInterface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD GetFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY;
constexpr DWORD PlainPostFlags = INTERNET_FLAG_NO_CACHE_WRITE;
constexpr DWORD SecurePostFlags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_SECURE |
                                  INTERNET_FLAG_IGNORE_CERT_DATE_INVALID | INTERNET_FLAG_IGNORE_CERT_CN_INVALID;
constexpr wchar_t PostHeader[] = L"Content-Type: application/x-www-form-urlencoded";
constexpr DWORD ReadChunk = 8191;
constexpr std::size_t FirstAllocation = 8193;

} // namespace

HttpSession::HttpSession(Reallocate reallocate) : m_reallocate(reallocate ? reallocate : &std::realloc) {
    if (QueryNetWorkStatus() == NetworkStatusWap)
        m_internet = InternetOpenW(UserAgent, INTERNET_OPEN_TYPE_PROXY, WapProxy, nullptr, 0);
    else
        m_internet = InternetOpenW(UserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
}

HttpSession::~HttpSession() {
    std::free(m_body);
    if (m_internet)
        InternetCloseHandle(m_internet);
    CloseRequest();
    CloseConnection();
}

void HttpSession::CloseRequest() {
    if (m_request)
        InternetCloseHandle(m_request);
    m_request = nullptr;
}

void HttpSession::CloseConnection() {
    if (m_connection)
        InternetCloseHandle(m_connection);
    m_connection = nullptr;
}

bool HttpSession::Get(LPCWSTR url) {
    CloseRequest();
    m_request = InternetOpenUrlW(m_internet, url, nullptr, 0, GetFlags, 0);
    if (!m_request) {
        m_lastError = GetLastError();
        return false;
    }
    return true;
}

bool HttpSession::Post(LPCWSTR url, const char* body, int length) {
    if (!url) {
        m_lastError = NoAddressError;
        return false;
    }
    DWORD bodyLength = length == -1 ? (body ? static_cast<DWORD>(std::strlen(body)) : 0) : static_cast<DWORD>(length);
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    bool cracked = InternetCrackUrlW(url, static_cast<DWORD>(std::wcslen(url)), 0, &parts);
    CloseConnection();
    std::wstring host = cracked ? std::wstring(parts.lpszHostName, parts.dwHostNameLength) : std::wstring();
    std::wstring path = cracked ? std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) : std::wstring();
    CloseRequest();
    // A failure to connect or open surfaces as a failed send with the library's error.
    m_connection = InternetConnectW(m_internet, host.c_str(), parts.nPort, L"", L"", INTERNET_SERVICE_HTTP,
                                    INTERNET_FLAG_NO_CACHE_WRITE, 0);
    LPCWSTR acceptTypes[] = {L"*/*", nullptr};
    m_request = HttpOpenRequestW(m_connection, L"POST", path.c_str(), nullptr, nullptr, acceptTypes,
                                 parts.nPort == 80 ? PlainPostFlags : SecurePostFlags, 0);
    bool sent = HttpSendRequestW(m_request, PostHeader, static_cast<DWORD>(std::wcslen(PostHeader)),
                                 const_cast<char*>(body), bodyLength);
    if (!sent)
        m_lastError = GetLastError();
    return sent;
}

const char* HttpSession::Request(LPCWSTR url, bool post, const char* body, int length) {
    if (!url) {
        m_lastError = NoAddressError;
        return nullptr;
    }
    if (!(post ? Post(url, body, length) : Get(url)))
        return nullptr;
    DWORD status = 0, size = sizeof status;
    if (HttpQueryInfoW(m_request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) &&
        status >= 400)
        return FailRequest(status);
    return ReadBody();
}

char* HttpSession::FailRequest(DWORD error) {
    // The connection is given up at once, not left to a server that goes on sending.
    CloseRequest();
    std::free(m_body);
    m_body = nullptr;
    m_bodyLength = 0;
    m_lastError = error;
    return nullptr;
}

char* HttpSession::ReadBody() {
    std::free(m_body);
    m_bodyLength = 0;
    m_body = static_cast<char*>(std::calloc(FirstAllocation, 1));
    if (!m_body)
        return FailRequest(ERROR_NOT_ENOUGH_MEMORY);
    std::size_t total = 0, capacity = FirstAllocation;
    char chunk[ReadChunk + 1];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(m_request, chunk, ReadChunk, &read))
            return FailRequest(GetLastError());
        if (read == 0)
            return m_body;
        total += read;
        if (total > MaximumBody)
            return FailRequest(BodyTooLargeError);
        chunk[read] = '\0';
        // The body is text: a zero byte in a chunk cuts that chunk off there.
        std::size_t text = std::strlen(chunk);
        std::memcpy(m_body + m_bodyLength, chunk, text);
        m_bodyLength += text;
        m_body[m_bodyLength] = '\0';
        // Keep room for one more full chunk and its terminator, growing by doubling so
        // that a large body is not copied over and over.
        if (total + ReadChunk + 1 > capacity) {
            std::size_t wanted = std::max(total + ReadChunk + 1, capacity * 2);
            auto* grown = static_cast<char*>(m_reallocate(m_body, wanted));
            if (!grown)
                return FailRequest(ERROR_NOT_ENOUGH_MEMORY);
            m_body = grown;
            capacity = wanted;
        }
    }
}
