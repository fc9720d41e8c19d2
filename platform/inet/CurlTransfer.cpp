#include "platform/inet/CurlTransfer.h"

#include "platform/inet/WinInet.h"

#include <atomic>
#include <cstring>
#include <mutex>

namespace platform {

namespace {

std::atomic<bool> transfersAborted{false};

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool Mentions(const char* text, const char* word) { return std::strstr(text, word) != nullptr; }

} // namespace

void AbortTransfers() { transfersAborted = true; }
void AllowTransfers() { transfersAborted = false; }
bool TransfersAborted() { return transfersAborted; }

CurlTransfer::CurlTransfer(const TransferOptions& options)
    : m_connectTimeoutMs(options.connectTimeoutMs), m_receiveTimeoutMs(options.receiveTimeoutMs),
      m_totalTimeoutMs(options.totalTimeoutMs) {
    GlobalInit();
    m_easy = curl_easy_init();
    m_multi = curl_multi_init();
    if (!m_easy || !m_multi) {
        m_done = true;
        m_result = CURLE_OUT_OF_MEMORY;
        return;
    }
    curl_easy_setopt(m_easy, CURLOPT_URL, options.url.c_str());
    curl_easy_setopt(m_easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(m_easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(m_easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(m_easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_easy, CURLOPT_ERRORBUFFER, m_errorText);
    curl_easy_setopt(m_easy, CURLOPT_USERAGENT, options.userAgent.c_str());
    curl_easy_setopt(m_easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeoutMs));
    // An empty proxy also keeps curl from taking one from the environment.
    std::string proxy = options.proxy.empty() ? "" : "http://" + options.proxy;
    curl_easy_setopt(m_easy, CURLOPT_PROXY, proxy.c_str());
    curl_easy_setopt(m_easy, CURLOPT_SSL_VERIFYHOST, options.verifyHostName ? 2L : 0L);
    if (!options.caBundle.empty())
        curl_easy_setopt(m_easy, CURLOPT_CAINFO, options.caBundle.c_str());
    for (const std::string& header : options.headers)
        m_headers = curl_slist_append(m_headers, header.c_str());
    if (m_headers)
        curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, m_headers);
    for (const std::string& entry : options.connectTo)
        m_connectTo = curl_slist_append(m_connectTo, entry.c_str());
    if (m_connectTo)
        curl_easy_setopt(m_easy, CURLOPT_CONNECT_TO, m_connectTo);
    if (options.method == "POST") {
        curl_easy_setopt(m_easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(options.body.size()));
        curl_easy_setopt(m_easy, CURLOPT_COPYPOSTFIELDS, options.body.c_str());
    } else if (options.method != "GET") {
        curl_easy_setopt(m_easy, CURLOPT_CUSTOMREQUEST, options.method.c_str());
    }
    curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, &CurlTransfer::OnBody);
    curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_HEADERFUNCTION, &CurlTransfer::OnHeader);
    curl_easy_setopt(m_easy, CURLOPT_HEADERDATA, this);
    curl_multi_add_handle(m_multi, m_easy);
    m_started = m_lastActivity = std::chrono::steady_clock::now();
}

CurlTransfer::~CurlTransfer() {
    if (m_multi && m_easy)
        curl_multi_remove_handle(m_multi, m_easy);
    if (m_easy)
        curl_easy_cleanup(m_easy);
    if (m_multi)
        curl_multi_cleanup(m_multi);
    curl_slist_free_all(m_headers);
    curl_slist_free_all(m_connectTo);
}

std::size_t CurlTransfer::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto* transfer = static_cast<CurlTransfer*>(self);
    transfer->m_body.append(data, size * count);
    transfer->m_lastActivity = std::chrono::steady_clock::now();
    return size * count;
}

std::size_t CurlTransfer::OnHeader(char*, std::size_t size, std::size_t count, void* self) {
    auto* transfer = static_cast<CurlTransfer*>(self);
    transfer->m_gotHeader = true;
    transfer->m_lastActivity = std::chrono::steady_clock::now();
    return size * count;
}

template <class Ready> void CurlTransfer::Pump(Ready ready) {
    while (!m_done && !ready()) {
        if (TransfersAborted()) {
            m_result = CURLE_ABORTED_BY_CALLBACK;
            m_done = true;
            break;
        }
        int running = 0;
        if (curl_multi_perform(m_multi, &running) != CURLM_OK) {
            m_result = CURLE_FAILED_INIT;
            m_done = true;
            break;
        }
        if (running == 0) {
            int queued = 0;
            while (CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
                if (message->msg == CURLMSG_DONE)
                    m_result = message->data.result;
            }
            m_done = true;
            break;
        }
        if (ready())
            break;
        // Before the first response byte the connect phase has its own limit as well. A
        // server that sends a byte now and then is ended by the limit on the whole.
        auto limit =
            std::chrono::milliseconds(std::uint64_t{m_receiveTimeoutMs} + (m_gotHeader ? 0 : m_connectTimeoutMs));
        auto now = std::chrono::steady_clock::now();
        bool overdue = m_totalTimeoutMs && now - m_started > std::chrono::milliseconds(m_totalTimeoutMs);
        if (now - m_lastActivity > limit || overdue) {
            m_result = CURLE_OPERATION_TIMEDOUT;
            m_done = true;
            break;
        }
        curl_multi_poll(m_multi, nullptr, 0, 50, nullptr);
    }
}

DWORD CurlTransfer::Start() {
    Pump([this] { return m_body.size() > m_bodyRead; });
    if (m_done && m_result != CURLE_OK && m_body.empty())
        return ErrorOf(m_result);
    return ERROR_SUCCESS;
}

long CurlTransfer::StatusCode() const {
    long status = 0;
    if (m_easy)
        curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

bool CurlTransfer::Read(char* buffer, DWORD size, DWORD& read, DWORD& error) {
    Pump([this, size] { return m_body.size() - m_bodyRead >= size; });
    std::size_t available = m_body.size() - m_bodyRead;
    read = static_cast<DWORD>(std::min<std::size_t>(available, size));
    if (read == 0 && m_done && m_result != CURLE_OK) {
        error = ErrorOf(m_result);
        return false;
    }
    std::memcpy(buffer, m_body.data() + m_bodyRead, read);
    m_bodyRead += read;
    // Drop what has been read once it is the larger part, so the buffer stays small.
    if (m_bodyRead > 65536 && m_bodyRead * 2 > m_body.size()) {
        m_body.erase(0, m_bodyRead);
        m_bodyRead = 0;
    }
    error = ERROR_SUCCESS;
    return true;
}

DWORD CurlTransfer::ErrorOf(CURLcode code) const {
    switch (code) {
    case CURLE_OK: return ERROR_SUCCESS;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT: return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT: return ERROR_INTERNET_TIMEOUT;
    case CURLE_URL_MALFORMAT: return ERROR_INTERNET_INVALID_URL;
    case CURLE_UNSUPPORTED_PROTOCOL: {
        // Only web addresses are ever opened: another scheme came from a redirect.
        long redirects = 0;
        curl_easy_getinfo(m_easy, CURLINFO_REDIRECT_COUNT, &redirects);
        return redirects > 0 || Mentions(m_errorText, "redirect") ? ERROR_HTTP_REDIRECT_FAILED
                                                                  : ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    }
    case CURLE_TOO_MANY_REDIRECTS: return ERROR_HTTP_REDIRECT_FAILED;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING: return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_PEER_FAILED_VERIFICATION:
        if (Mentions(m_errorText, "expired") || Mentions(m_errorText, "not yet valid"))
            return ERROR_INTERNET_SEC_CERT_DATE_INVALID;
        if (Mentions(m_errorText, "name"))
            return ERROR_INTERNET_SEC_CERT_CN_INVALID;
        return ERROR_INTERNET_INVALID_CA;
    case CURLE_SSL_CONNECT_ERROR: return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    case CURLE_RECV_ERROR: return ERROR_INTERNET_CONNECTION_RESET;
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR: return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_OUT_OF_MEMORY: return ERROR_NOT_ENOUGH_MEMORY;
    case CURLE_ABORTED_BY_CALLBACK: return ERROR_INTERNET_OPERATION_CANCELLED;
    default: return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

} // namespace platform
