#include "platform/inet/WinInet.h"

#include "platform/base/HandleTable.h"
#include "platform/base/LastError.h"
#include "platform/base/Utf8.h"
#include "platform/inet/CurlTransfer.h"
#include "platform/inet/HostMap.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <strings.h>

using platform::HandleKind;

namespace {

// A timeout from the environment (milliseconds), else the default.
DWORD TimeoutFromEnvironment(const char* name, DWORD fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text)
        return fallback;
    char* end = nullptr;
    unsigned long value = std::strtoul(text, &end, 10);
    return *end == '\0' && value > 0 && value <= 0xFFFFFFFFul ? static_cast<DWORD>(value) : fallback;
}

// A new session's limits: WinINet's connect and receive timeouts, and a limit on each
// whole request (three minutes) so that a server dripping a byte now and then cannot
// hold a request forever. Tests and soaks shorten them through the environment.
struct SessionSettings {
    std::string userAgent;
    std::string proxy;
    DWORD connectTimeoutMs = TimeoutFromEnvironment("QUILLORA_CONNECT_TIMEOUT_MS", 60000);
    DWORD receiveTimeoutMs = TimeoutFromEnvironment("QUILLORA_RECEIVE_TIMEOUT_MS", 30000);
    DWORD totalTimeoutMs = TimeoutFromEnvironment("QUILLORA_REQUEST_TIMEOUT_MS", 180000);
};

struct ConnectionTarget {
    std::shared_ptr<const SessionSettings> session;
    std::string host;
    INTERNET_PORT port = 0;
};

// Every WinINet handle is one of these; the kind decides which calls accept it.
class InternetObject : public platform::HandleObject {
public:
    enum class Type { Session, Connection, Request };

    explicit InternetObject(Type type) : HandleObject(HandleKind::Internet), m_type(type) {}
    Type GetType() const { return m_type; }

    std::shared_ptr<SessionSettings> session;       // Session
    std::shared_ptr<const ConnectionTarget> target; // Connection, and requests opened on it
    std::string verb, path;                         // Request from HttpOpenRequestW
    DWORD flags = 0;
    std::unique_ptr<platform::CurlTransfer> transfer; // Request, once sent

private:
    Type m_type;
};

// Looks up a handle of the given type; a WinINet handle of another type is reported as such.
std::shared_ptr<InternetObject> Lookup(HINTERNET handle, InternetObject::Type type) {
    auto object = platform::LookupHandleAs<InternetObject>(handle, HandleKind::Internet);
    if (object && object->GetType() != type) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return nullptr;
    }
    return object;
}

// WinINet escapes what may not stand in a URL; curl would refuse it instead.
std::string EscapeUrl(std::wstring_view url) {
    std::string out;
    for (unsigned char c : platform::Utf8FromWide(url)) {
        if (c <= 0x20 || c >= 0x7F) {
            static constexpr char Hex[] = "0123456789ABCDEF";
            out += '%';
            out += Hex[c >> 4];
            out += Hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool HasWebScheme(const std::string& url) {
    auto startsWith = [&](const char* prefix) {
        return url.size() >= std::strlen(prefix) && strncasecmp(url.c_str(), prefix, std::strlen(prefix)) == 0;
    };
    return startsWith("http://") || startsWith("https://");
}

platform::TransferOptions OptionsFor(const SessionSettings& session, std::string url) {
    platform::TransferOptions options;
    options.url = std::move(url);
    options.userAgent = session.userAgent;
    options.connectTimeoutMs = session.connectTimeoutMs;
    options.receiveTimeoutMs = session.receiveTimeoutMs;
    options.totalTimeoutMs = session.totalTimeoutMs;
    if (const char* bundle = std::getenv("QUILLORA_CA_BUNDLE"); bundle && *bundle)
        options.caBundle = bundle;
    auto map = platform::LoadHostMap();
    // Through a proxy only the proxy's own address is mapped: the proxy reaches the
    // host, and curl would tunnel instead of forwarding if it were told where to connect.
    if (!session.proxy.empty()) {
        options.proxy = platform::MappedAddress(map, session.proxy).value_or(session.proxy);
        return options;
    }
    // "*" sends every host the lines above it do not name (curl takes the first match).
    for (const platform::HostMapping& mapping : map)
        options.connectTo.push_back((mapping.host == "*" ? std::string() : mapping.host) + "::" + mapping.address);
    return options;
}

// Header text as WinINet takes it: CR LF separated lines, a length or -1 for terminated.
std::vector<std::string> HeaderLines(LPCWSTR headers, DWORD length) {
    std::vector<std::string> lines;
    if (!headers)
        return lines;
    std::wstring_view text(headers, length == static_cast<DWORD>(-1) ? std::wcslen(headers) : length);
    std::string narrow = platform::Utf8FromWide(text);
    std::size_t start = 0;
    while (start < narrow.size()) {
        std::size_t end = narrow.find("\r\n", start);
        if (end == std::string::npos)
            end = narrow.size();
        if (end > start)
            lines.push_back(narrow.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace

HINTERNET InternetOpenW(LPCWSTR agent, DWORD accessType, LPCWSTR proxy, LPCWSTR, DWORD) {
    auto object = std::make_shared<InternetObject>(InternetObject::Type::Session);
    object->session = std::make_shared<SessionSettings>();
    object->session->userAgent = agent ? platform::Utf8FromWide(agent) : "";
    if (accessType == INTERNET_OPEN_TYPE_PROXY) {
        if (!proxy || !*proxy)
            return platform::FailWith<HINTERNET>(ERROR_INVALID_PARAMETER, nullptr);
        object->session->proxy = platform::Utf8FromWide(proxy);
    }
    return platform::InsertHandle(std::move(object));
}

HINTERNET InternetOpenUrlW(HINTERNET internet, LPCWSTR url, LPCWSTR headers, DWORD headersLength, DWORD, DWORD_PTR) {
    auto session = Lookup(internet, InternetObject::Type::Session);
    if (!session)
        return nullptr;
    if (!url || !*url)
        return platform::FailWith<HINTERNET>(ERROR_INTERNET_INVALID_URL, nullptr);
    std::string target = EscapeUrl(url);
    if (target.find("://") == std::string::npos)
        return platform::FailWith<HINTERNET>(ERROR_INTERNET_INVALID_URL, nullptr);
    if (!HasWebScheme(target))
        return platform::FailWith<HINTERNET>(ERROR_INTERNET_UNRECOGNIZED_SCHEME, nullptr);
    platform::TransferOptions options = OptionsFor(*session->session, std::move(target));
    options.headers = HeaderLines(headers, headersLength);
    auto transfer = std::make_unique<platform::CurlTransfer>(options);
    if (DWORD error = transfer->Start())
        return platform::FailWith<HINTERNET>(error, nullptr);
    auto request = std::make_shared<InternetObject>(InternetObject::Type::Request);
    request->transfer = std::move(transfer);
    return platform::InsertHandle(std::move(request));
}

BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead) {
    if (!bytesRead)
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    *bytesRead = 0;
    auto request = Lookup(file, InternetObject::Type::Request);
    if (!request)
        return FALSE;
    if (!buffer && bytesToRead)
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    if (!request->transfer)
        return platform::FailWith(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    DWORD error = ERROR_SUCCESS;
    if (!request->transfer->Read(static_cast<char*>(buffer), bytesToRead, *bytesRead, error))
        return platform::FailWith(error);
    return TRUE;
}

BOOL HttpQueryInfoW(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength, LPDWORD) {
    auto object = Lookup(request, InternetObject::Type::Request);
    if (!object)
        return FALSE;
    if (!object->transfer)
        return platform::FailWith(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    if ((infoLevel & 0xFFFF) != HTTP_QUERY_STATUS_CODE || !bufferLength)
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    long status = object->transfer->StatusCode();
    if (infoLevel & HTTP_QUERY_FLAG_NUMBER) {
        if (*bufferLength < sizeof(DWORD) || !buffer) {
            *bufferLength = sizeof(DWORD);
            return platform::FailWith(ERROR_INSUFFICIENT_BUFFER);
        }
        *static_cast<DWORD*>(buffer) = static_cast<DWORD>(status);
        *bufferLength = sizeof(DWORD);
        return TRUE;
    }
    std::wstring text = std::to_wstring(status);
    DWORD needed = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    if (*bufferLength < needed || !buffer) {
        *bufferLength = needed;
        return platform::FailWith(ERROR_INSUFFICIENT_BUFFER);
    }
    std::wcscpy(static_cast<wchar_t*>(buffer), text.c_str());
    *bufferLength = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    return TRUE;
}

BOOL InternetCloseHandle(HINTERNET internet) {
    return platform::RemoveHandle(internet, HandleKind::Internet) ? TRUE : FALSE;
}

BOOL InternetSetOptionW(HINTERNET internet, DWORD option, LPVOID buffer, DWORD bufferLength) {
    auto session = Lookup(internet, InternetObject::Type::Session);
    if (!session)
        return FALSE;
    if (!buffer || bufferLength < sizeof(DWORD))
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    DWORD value = *static_cast<DWORD*>(buffer);
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT: session->session->connectTimeoutMs = value; return TRUE;
    case INTERNET_OPTION_RECEIVE_TIMEOUT:
    case INTERNET_OPTION_SEND_TIMEOUT: session->session->receiveTimeoutMs = value; return TRUE;
    default: return platform::FailWith(ERROR_INTERNET_INVALID_OPTION);
    }
}

HINTERNET InternetConnectW(HINTERNET internet, LPCWSTR serverName, INTERNET_PORT serverPort, LPCWSTR, LPCWSTR,
                           DWORD service, DWORD, DWORD_PTR) {
    auto session = Lookup(internet, InternetObject::Type::Session);
    if (!session)
        return nullptr;
    if (!serverName || !*serverName || service != INTERNET_SERVICE_HTTP)
        return platform::FailWith<HINTERNET>(ERROR_INVALID_PARAMETER, nullptr);
    auto target = std::make_shared<ConnectionTarget>();
    target->session = session->session;
    target->host = platform::Utf8FromWide(serverName);
    target->port = serverPort;
    auto connection = std::make_shared<InternetObject>(InternetObject::Type::Connection);
    connection->target = std::move(target);
    return platform::InsertHandle(std::move(connection));
}

HINTERNET HttpOpenRequestW(HINTERNET connect, LPCWSTR verb, LPCWSTR objectName, LPCWSTR, LPCWSTR, LPCWSTR*, DWORD flags,
                           DWORD_PTR) {
    auto connection = Lookup(connect, InternetObject::Type::Connection);
    if (!connection)
        return nullptr;
    auto request = std::make_shared<InternetObject>(InternetObject::Type::Request);
    request->target = connection->target;
    request->verb = verb && *verb ? platform::Utf8FromWide(verb) : "GET";
    request->path = objectName && *objectName ? platform::Utf8FromWide(objectName) : "/";
    request->flags = flags;
    return platform::InsertHandle(std::move(request));
}

BOOL HttpSendRequestW(HINTERNET request, LPCWSTR headers, DWORD headersLength, LPVOID optional, DWORD optionalLength) {
    auto object = Lookup(request, InternetObject::Type::Request);
    if (!object)
        return FALSE;
    if (!object->target)
        return platform::FailWith(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    const ConnectionTarget& target = *object->target;
    bool secure = object->flags & INTERNET_FLAG_SECURE;
    INTERNET_PORT port = target.port ? target.port : secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    std::string path = object->path.front() == '/' ? object->path : "/" + object->path;
    std::string url = (secure ? "https://" : "http://") + target.host + ":" + std::to_string(port) +
                      EscapeUrl(platform::WideFromUtf8(path));
    platform::TransferOptions options = OptionsFor(*target.session, std::move(url));
    options.method = object->verb;
    options.headers = HeaderLines(headers, headersLength);
    if (optional && optionalLength)
        options.body.assign(static_cast<const char*>(optional), optionalLength);
    // libcurl cannot ignore an expired certificate alone; only the name check can be dropped.
    options.verifyHostName = !(object->flags & INTERNET_FLAG_IGNORE_CERT_CN_INVALID);
    object->transfer = std::make_unique<platform::CurlTransfer>(options);
    if (DWORD error = object->transfer->Start()) {
        object->transfer.reset();
        return platform::FailWith(error);
    }
    return TRUE;
}
