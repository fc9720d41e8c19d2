#pragma once
// The offline stand-in for the providers and parse servers: serves
// <sites>/<host>/<path> by the request's Host header (also to requests that come
// through it as a proxy, with an absolute address), on a loopback port. A query is
// looked up first as a file named "<path>?<query>", the query's slashes written "%2F".
// "@FIXTURE@" in a served file becomes the server's own "127.0.0.1:port". Paths under
// /_fixture/ answer as the HTTP tests need:
//   /_fixture/status/<code>      that status, with a short body
//   /_fixture/size/<n>           a body of n printable bytes
//   /_fixture/delay/<ms>[/path]  waits, then answers as for /path (or with an empty body)
//   /_fixture/broken/<n>         announces 2n bytes, sends n, then closes the connection
//   /_fixture/redirect/<n>       n redirects, then the body "redirected"
//   /_fixture/echo               the method, target, headers and body it received
// The HTTP library refuses (400) a request whose query holds a second "?", so fixture
// addresses are written without one.
// With a folder of stream clips ("part-<n>.flv", made by tools/demo-media), a request
// for "/flv/<name>" on any host that no site file answers gets a clip: the one of the
// part number that ends the name ("kungfu-panda-02.flv": part 2), counted round the
// clips there are; a name without a number gets part 1.
// Runs on its own threads; Start and Stop from one thread.

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

class FixtureServer {
public:
    explicit FixtureServer(std::filesystem::path sites);
    // Speaks https with the given certificate and key files (PEM).
    FixtureServer(std::filesystem::path sites, const std::string& certificateFile, const std::string& keyFile);
    ~FixtureServer();
    FixtureServer(const FixtureServer&) = delete;
    FixtureServer& operator=(const FixtureServer&) = delete;

    // Listens on a free port (or `port`) of `address`; returns the port, or -1.
    int Start(const std::string& address = "127.0.0.1", int port = 0);
    void Stop();
    int Port() const { return m_port; }
    // Before Start: where the stream clips are; nothing is served for streams without.
    void SetStreamFolder(std::filesystem::path folder) { m_streams = std::move(folder); }
    // How many requests arrived as a proxy's (absolute address in the request line).
    int ProxiedRequests() const { return m_proxied; }

    struct SiteFile {
        std::string body; // "@FIXTURE@" already replaced
        std::string contentType;
    };
    // The file the server at `port` answers for host, path and query; nothing when none
    // (for servers of tests that mix fixture files with answers of their own).
    static std::optional<SiteFile> FindSiteFile(const std::filesystem::path& sites, const std::string& host,
                                                const std::string& path, const std::string& query, int port);

private:
    void Handle(const httplib::Request& request, httplib::Response& response);
    bool HandleSpecial(const std::string& path, const httplib::Request& request, httplib::Response& response);
    void ServeFile(const std::string& host, const std::string& path, const std::string& query,
                   httplib::Response& response);

    bool ServeStream(const std::string& path, httplib::Response& response);

    std::filesystem::path m_sites;
    std::filesystem::path m_streams;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = -1;
    std::atomic<int> m_proxied{0};
};

// The hosts the fixture sites stand in for: the providers, the parse servers and the
// operator's WAP gateway.
const std::vector<std::string>& FixtureHosts();
