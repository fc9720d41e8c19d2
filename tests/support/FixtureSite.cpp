#include "support/FixtureSite.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

FixtureSite::FixtureSite(const std::string& sites) : m_server(sites) {
    if (m_server.Start() < 0)
        throw std::runtime_error("the fixture server cannot listen");
    std::string map;
    for (const std::string& host : FixtureHosts())
        map += host + " 127.0.0.1:" + std::to_string(Port()) + "\n";
    WriteHostFile(HostMapFile(), map);
    m_hosts = std::make_unique<ScopedEnvironment>("QUILLORA_HOSTS", HostMapFile());
}

int RefusedPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}
