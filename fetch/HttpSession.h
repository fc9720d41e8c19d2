#pragma once
// The program's only network client: one internet handle, opened through the
// operator's WAP proxy when the call interface reports a WAP connection and directly
// otherwise, and one request at a time whose whole body is read into one growing,
// zero-terminated buffer. Used by one thread; each thread owns its own sessions.
//
// A request succeeds only with a whole answer: a read that fails (a connection cut
// mid-body, a timeout) fails the request with the library's error, an answer with an
// HTTP status of 400 or above fails it with that status as its error, and a body above
// MaximumBody fails it with ERROR_FILE_TOO_LARGE. Nothing partial is ever handed on.

#include "platform/base/Win32Types.h"
#include "platform/inet/WinInet.h"

#include <cstddef>

class HttpSession {
public:
    // Grows a body buffer like std::realloc; replaceable so that a buffer that cannot
    // grow can be tried.
    using Reallocate = void* (*)(void*, std::size_t);

    static constexpr const wchar_t* UserAgent = L"Mozilla/4.0 (compatible; MSIE 6.0; Windows CE)";
    // The operator's WAP gateway, on its private network.
    static constexpr const wchar_t* WapProxy = L"10.0.0.172:80";
    static constexpr DWORD NoAddressError = 0xFFFFFFFF;
    // Far above any page or parse-server answer; more is taken for an attack.
    static constexpr std::size_t MaximumBody = 32u << 20;
    static constexpr DWORD BodyTooLargeError = 223; // ERROR_FILE_TOO_LARGE

    explicit HttpSession(Reallocate reallocate = nullptr);
    ~HttpSession();
    HttpSession(const HttpSession&) = delete;
    HttpSession& operator=(const HttpSession&) = delete;

    // Opens a GET request on the address and keeps its handle; reads nothing. Request
    // calls it: a caller that wants a page calls Request(url, false, nullptr, -1).
    bool Get(LPCWSTR url);
    // Sends a form POST and keeps its handle; reads nothing. Request calls it too.
    bool Post(LPCWSTR url, const char* body, int length);
    // Makes the request and reads the whole answer: the zero-terminated body, valid until
    // the next request or the session's end; null when the request failed (LastError says
    // why). `length` -1 takes the body as a zero-terminated string.
    const char* Request(LPCWSTR url, bool post, const char* body, int length);
    DWORD LastError() const { return m_lastError; }
    // Bytes of text in the body (up to its terminating zero).
    std::size_t BodyLength() const { return m_bodyLength; }

private:
    char* ReadBody();
    // Ends a request that cannot give a whole answer: no body, the error kept.
    char* FailRequest(DWORD error);
    void CloseRequest();
    void CloseConnection();

    DWORD m_lastError = 0;
    HINTERNET m_internet = nullptr;
    HINTERNET m_request = nullptr;
    HINTERNET m_connection = nullptr;
    char* m_body = nullptr;
    std::size_t m_bodyLength = 0;
    Reallocate m_reallocate;
};
