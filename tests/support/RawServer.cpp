#include "support/RawServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

RawReply PlainReply(int status, const std::string& body, const std::string& headers) {
    std::string head = "HTTP/1.1 " + std::to_string(status) +
                       " Answer\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n" +
                       headers + "\r\n";
    return RawReply{{{head + body}}};
}

RawServer::RawServer(std::function<RawReply(const RawRequest&)> answer) : m_answer(std::move(answer)) {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 64) != 0 || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length))
        throw std::runtime_error("the raw server cannot listen");
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { Accept(); });
}

RawServer::~RawServer() {
    {
        // Under the lock, so that no connection between its check and its wait misses it.
        std::lock_guard guard(m_lock);
        m_stopping = true;
    }
    m_stopped.notify_all();
    m_acceptor.join();
    for (std::thread& connection : m_connections)
        connection.join();
    ::close(m_listener);
}

void RawServer::Accept() {
    while (!m_stopping) {
        pollfd waiting{m_listener, POLLIN, 0};
        if (::poll(&waiting, 1, 20) <= 0)
            continue;
        int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0)
            m_connections.emplace_back([this, connection] { Serve(connection); });
    }
}

bool RawServer::Pause(std::chrono::milliseconds pause) {
    std::unique_lock guard(m_lock);
    return !m_stopped.wait_for(guard, pause, [this] { return m_stopping.load(); });
}

void RawServer::Serve(int connection) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd waiting{connection, POLLIN, 0};
        if (m_stopping || ::poll(&waiting, 1, 20) < 0)
            break;
        if (!(waiting.revents & POLLIN))
            continue;
        ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        request.append(buffer, static_cast<std::size_t>(got));
    }
    RawRequest parsed{"/", ""};
    std::size_t start = request.find(' ') + 1, end = request.find(' ', start);
    if (start > 0 && end != std::string::npos)
        parsed.target = request.substr(start, end - start);
    if (std::size_t host = request.find("\r\nHost: "); host != std::string::npos) {
        host += 8;
        parsed.host = request.substr(host, request.find_first_of(":\r", host) - host);
    }
    RawReply reply = m_answer(parsed);
    for (const RawStep& step : reply.steps) {
        if (!step.bytes.empty() && ::send(connection, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL) < 0)
            break;
        if (step.pauseAfter.count() > 0 && !Pause(step.pauseAfter))
            break;
    }
    if (reply.hangAfter)
        Pause(std::chrono::hours(1));
    ::close(connection);
}
