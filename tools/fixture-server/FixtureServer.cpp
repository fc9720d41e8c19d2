#include "FixtureServer.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr char SpecialPrefix[] = "/_fixture/";

std::string ContentTypeOf(const fs::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
    if (extension == ".html" || extension == ".htm")
        return "text/html";
    if (extension == ".css")
        return "text/css";
    if (extension == ".js")
        return "application/javascript";
    if (extension == ".gif")
        return "image/gif";
    if (extension == ".png")
        return "image/png";
    if (extension == ".jpg" || extension == ".jpeg")
        return "image/jpeg";
    if (extension == ".m3u")
        return "audio/x-mpegurl";
    if (extension == ".flv")
        return "video/x-flv";
    if (extension == ".txt" || extension == ".php")
        return "text/plain";
    return "application/octet-stream";
}

// "http://host:port/path?query" or "/path?query" split into host, path and query.
void SplitTarget(const std::string& target, std::string& host, std::string& path, std::string& query) {
    std::string rest = target;
    if (rest.rfind("http://", 0) == 0) {
        rest = rest.substr(7);
        std::size_t slash = rest.find('/');
        host = rest.substr(0, slash);
        rest = slash == std::string::npos ? "/" : rest.substr(slash);
    }
    std::size_t question = rest.find('?');
    path = rest.substr(0, question);
    query = question == std::string::npos ? "" : rest.substr(question + 1);
}

std::string WithoutPort(std::string host) {
    if (std::size_t colon = host.rfind(':'); colon != std::string::npos)
        host.resize(colon);
    std::transform(host.begin(), host.end(), host.begin(), ::tolower);
    return host;
}

// Stands in served files for the server's own "address:port", so that stream
// addresses in parse-server answers lead back here.
constexpr char AddressPlaceholder[] = "@FIXTURE@";

void ReplaceEvery(std::string& text, const std::string& pattern, const std::string& replacement) {
    for (std::size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at + replacement.size()))
        text.replace(at, pattern.size(), replacement);
}

// A query names a file: its slashes are written "%2F" in the file name.
std::string EscapeSlashes(std::string query) {
    ReplaceEvery(query, "/", "%2F");
    return query;
}

// The number that ends a stream's name, 1 without one (or for 0).
int TrailingNumber(const std::string& name) {
    std::size_t digits = name.find_last_not_of("0123456789") + 1;
    std::string number = name.substr(digits).substr(0, 6);
    int value = number.empty() ? 0 : std::stoi(number);
    return value > 0 ? value : 1;
}

// The clips "part-1.flv", "part-2.flv", ... there are, counted up to the first missing.
int CountClips(const fs::path& folder) {
    int count = 0;
    std::error_code error;
    while (fs::is_regular_file(folder / ("part-" + std::to_string(count + 1) + ".flv"), error))
        ++count;
    return count;
}

std::string Pattern(std::size_t size) {
    static constexpr char Alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string body(size, ' ');
    for (std::size_t i = 0; i < size; ++i)
        body[i] = (i % 64 == 63) ? '\n' : Alphabet[i % 36];
    return body;
}

} // namespace

FixtureServer::FixtureServer(fs::path sites) : FixtureServer(std::move(sites), "", "") {}

FixtureServer::FixtureServer(fs::path sites, const std::string& certificateFile, const std::string& keyFile)
    : m_sites(std::move(sites)) {
    if (certificateFile.empty())
        m_server = std::make_unique<httplib::Server>();
    else
        m_server = std::make_unique<httplib::SSLServer>(certificateFile.c_str(), keyFile.c_str());
    auto handler = [this](const httplib::Request& request, httplib::Response& response) { Handle(request, response); };
    m_server->Get(".*", handler);
    m_server->Post(".*", handler);
}

FixtureServer::~FixtureServer() { Stop(); }

int FixtureServer::Start(const std::string& address, int port) {
    if (port == 0)
        m_port = m_server->bind_to_any_port(address.c_str());
    else
        m_port = m_server->bind_to_port(address.c_str(), port) ? port : -1;
    if (m_port < 0)
        return -1;
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // The socket already listens, so early connections wait in its backlog; this only
    // makes Stop safe to call at once.
    for (int i = 0; i < 1000 && !m_server->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return m_port;
}

void FixtureServer::Stop() {
    if (!m_thread.joinable())
        return;
    m_server->stop();
    m_thread.join();
}

void FixtureServer::Handle(const httplib::Request& request, httplib::Response& response) {
    std::string host = request.get_header_value("Host");
    std::string path, query;
    SplitTarget(request.target, host, path, query);
    if (request.target.rfind("http://", 0) == 0)
        ++m_proxied;
    response.set_header("X-Fixture-Host", WithoutPort(host));
    if (path.rfind(SpecialPrefix, 0) == 0 && HandleSpecial(path.substr(sizeof SpecialPrefix - 1), request, response))
        return;
    ServeFile(WithoutPort(host), path, query, response);
}

bool FixtureServer::HandleSpecial(const std::string& command, const httplib::Request& request,
                                  httplib::Response& response) {
    std::size_t slash = command.find('/');
    std::string verb = command.substr(0, slash);
    std::string argument = slash == std::string::npos ? "" : command.substr(slash + 1);
    long number = std::atol(argument.c_str());
    if (verb == "status") {
        response.status = static_cast<int>(number);
        response.set_content("status " + argument + "\n", "text/plain");
    } else if (verb == "size") {
        response.set_content(Pattern(static_cast<std::size_t>(std::max(0L, number))), "text/plain");
    } else if (verb == "delay") {
        std::this_thread::sleep_for(std::chrono::milliseconds(number));
        std::size_t next = argument.find('/');
        if (next == std::string::npos)
            response.set_content("", "text/plain");
        else
            ServeFile(WithoutPort(request.get_header_value("Host")), argument.substr(next), "", response);
    } else if (verb == "broken") {
        auto sent = static_cast<std::size_t>(std::max(0L, number));
        response.set_content_provider(sent * 2, "text/plain",
                                      [sent](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                          if (offset >= sent)
                                              return false;
                                          std::string part = Pattern(sent);
                                          sink.write(part.data(), part.size());
                                          return true;
                                      });
    } else if (verb == "redirect") {
        if (number > 0)
            response.set_redirect("/_fixture/redirect/" + std::to_string(number - 1));
        else
            response.set_content("redirected", "text/plain");
    } else if (verb == "echo") {
        std::ostringstream echo;
        echo << request.method << ' ' << request.target << '\n';
        for (const auto& [name, value] : request.headers)
            echo << name << ": " << value << '\n';
        echo << '\n' << request.body;
        response.set_content(echo.str(), "text/plain");
    } else {
        return false;
    }
    return true;
}

std::optional<FixtureServer::SiteFile> FixtureServer::FindSiteFile(const fs::path& sites, const std::string& host,
                                                                   const std::string& path, const std::string& query,
                                                                   int port) {
    fs::path siteRoot = (sites / host).lexically_normal();
    std::string relative = path.empty() ? "/" : path;
    std::vector<fs::path> candidates;
    if (!query.empty())
        candidates.push_back(siteRoot / (relative.substr(1) + "?" + EscapeSlashes(query)));
    candidates.push_back(siteRoot / relative.substr(1));
    for (fs::path candidate : candidates) {
        candidate = candidate.lexically_normal();
        // Nothing outside the host's own folder is served.
        auto [end, ignored] = std::mismatch(siteRoot.begin(), siteRoot.end(), candidate.begin(), candidate.end());
        if (end != siteRoot.end() || host.empty() || host.find('/') != std::string::npos)
            continue;
        std::error_code error;
        if (fs::is_directory(candidate, error))
            candidate /= "index.html";
        std::ifstream in(candidate, std::ios::binary);
        if (!in)
            continue;
        std::ostringstream content;
        content << in.rdbuf();
        std::string body = content.str();
        ReplaceEvery(body, AddressPlaceholder, "127.0.0.1:" + std::to_string(port));
        return SiteFile{std::move(body), ContentTypeOf(candidate)};
    }
    return std::nullopt;
}

void FixtureServer::ServeFile(const std::string& host, const std::string& path, const std::string& query,
                              httplib::Response& response) {
    if (std::optional<SiteFile> file = FindSiteFile(m_sites, host, path, query, m_port)) {
        response.set_content(file->body, file->contentType.c_str());
        return;
    }
    if (ServeStream(path, response))
        return;
    response.status = 404;
    response.set_content("not found: " + host + path + "\n", "text/plain");
}

bool FixtureServer::ServeStream(const std::string& path, httplib::Response& response) {
    constexpr std::string_view StreamPrefix = "/flv/";
    if (m_streams.empty() || path.rfind(StreamPrefix, 0) != 0)
        return false;
    int clips = CountClips(m_streams);
    if (clips == 0)
        return false;
    int part = (TrailingNumber(fs::path(path).stem().string()) - 1) % clips + 1;
    std::ifstream in(m_streams / ("part-" + std::to_string(part) + ".flv"), std::ios::binary);
    if (!in)
        return false;
    std::ostringstream clip;
    clip << in.rdbuf();
    response.set_content(clip.str(), "video/x-flv");
    return true;
}

const std::vector<std::string>& FixtureHosts() {
    static const std::vector<std::string> hosts = {"so.youku.com", "www.youku.com", "so.tudou.com", "www.tudou.com",
                                                   "so.56.com",    "www.56.com",    "6.cn",         "www.flvcd.com",
                                                   "www.8fan.net", "10.0.0.172"};
    return hosts;
}
