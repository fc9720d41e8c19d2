#pragma once
// The offline demo: the fixture site served inside the program on a free loopback port,
// with a host map that sends every provider and parse-server host to it, and every
// other host too, so that the demo reaches no other address. Its stream addresses serve
// the build's clips when ffmpeg made them; the device's players find the demo site in
// the map and fetch through it.

#include <memory>

class FixtureServer;

class DemoSite {
public:
    // Null when the server cannot listen or the map cannot be written (said on stderr).
    // The device root must be chosen before.
    static std::unique_ptr<DemoSite> Start();
    ~DemoSite();
    DemoSite(const DemoSite&) = delete;
    DemoSite& operator=(const DemoSite&) = delete;

    int Port() const;

private:
    explicit DemoSite(std::unique_ptr<FixtureServer> server);
    std::unique_ptr<FixtureServer> m_server;
};
