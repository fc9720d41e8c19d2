#pragma once
// One HTTP exchange driven step by step on the caller's thread through a curl multi
// handle, so that the body can be read in pieces as it arrives and a transfer that
// breaks off still yields what came before the break. Not thread-safe: one user.

#include "platform/base/Win32Types.h"

#include <chrono>
#include <curl/curl.h>
#include <string>
#include <vector>

namespace platform {

struct TransferOptions {
    std::string url;
    std::string method = "GET";
    std::string body;
    std::vector<std::string> headers;
    std::string userAgent;
    std::string proxy; // "address:port" or empty for a direct connection
    std::vector<std::string> connectTo;
    DWORD connectTimeoutMs = 60000;
    DWORD receiveTimeoutMs = 30000;
    // The whole exchange, however steadily bytes arrive; 0 for none.
    DWORD totalTimeoutMs = 0;
    bool verifyHostName = true;
    std::string caBundle; // trusted certificates besides the system's, or empty
};

class CurlTransfer {
public:
    explicit CurlTransfer(const TransferOptions& options);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // Runs until the final response's body begins or the exchange ends. ERROR_SUCCESS,
    // or the WinINet error when the exchange failed before any of the body arrived: a
    // failed connection, a redirect that cannot be followed, a response that breaks off
    // or never comes.
    DWORD Start();
    // The final response's status code, once Start succeeded; 0 when none was read.
    long StatusCode() const;
    // Fills up to `size` bytes; fewer only at the end. At the end of a broken-off
    // transfer, fails once everything that arrived has been read.
    bool Read(char* buffer, DWORD size, DWORD& read, DWORD& error);

private:
    template <class Ready> void Pump(Ready ready);
    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
    DWORD ErrorOf(CURLcode code) const;

    CURL* m_easy = nullptr;
    CURLM* m_multi = nullptr;
    curl_slist* m_headers = nullptr;
    curl_slist* m_connectTo = nullptr;
    std::string m_body;
    std::size_t m_bodyRead = 0;
    bool m_gotHeader = false;
    bool m_done = false;
    CURLcode m_result = CURLE_OK;
    DWORD m_connectTimeoutMs;
    DWORD m_receiveTimeoutMs;
    DWORD m_totalTimeoutMs;
    std::chrono::steady_clock::time_point m_started;
    std::chrono::steady_clock::time_point m_lastActivity;
    char m_errorText[CURL_ERROR_SIZE] = {};
};

} // namespace platform
