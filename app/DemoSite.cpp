#include "app/DemoSite.h"

#include "FixtureServer.h"
#include "platform/fs/DeviceRoot.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

// Where the fixture sites are: QUILLORA_FIXTURE_SITES, else "sites" of the program's data.
std::filesystem::path SitesFolder() {
    const char* sites = std::getenv("QUILLORA_FIXTURE_SITES");
    std::filesystem::path data = platform::ProgramDataFolder();
    return sites && *sites ? std::filesystem::path(sites) : data.empty() ? data : data / "sites";
}

// Where the stream clips are: QUILLORA_DEMO_MEDIA, else "demo-media" of the program's data.
std::filesystem::path MediaFolder() {
    const char* media = std::getenv("QUILLORA_DEMO_MEDIA");
    std::filesystem::path data = platform::ProgramDataFolder();
    return media && *media ? std::filesystem::path(media) : data.empty() ? data : data / "demo-media";
}

} // namespace

DemoSite::DemoSite(std::unique_ptr<FixtureServer> server) : m_server(std::move(server)) {}

DemoSite::~DemoSite() { m_server->Stop(); }

int DemoSite::Port() const { return m_server->Port(); }

std::unique_ptr<DemoSite> DemoSite::Start() {
    auto server = std::make_unique<FixtureServer>(SitesFolder());
    server->SetStreamFolder(MediaFolder());
    int port = server->Start();
    if (port < 0) {
        std::fprintf(stderr, "quillora: the demo site cannot listen on the loopback\n");
        return nullptr;
    }
    std::string address = "127.0.0.1:" + std::to_string(port);
    std::filesystem::path map = platform::DeviceRoot() / ".demo-hosts";
    {
        std::ofstream out(map, std::ios::trunc);
        for (const std::string& host : FixtureHosts())
            out << host << ' ' << address << '\n';
        out << "* " << address << '\n';
        if (!out) {
            std::fprintf(stderr, "quillora: cannot write the demo's host map %s\n", map.c_str());
            return nullptr;
        }
    }
    setenv("QUILLORA_HOSTS", map.c_str(), 1);
    return std::unique_ptr<DemoSite>(new DemoSite(std::move(server)));
}
