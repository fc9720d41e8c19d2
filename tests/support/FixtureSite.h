#pragma once
// The fixture server on a loopback port for one test, with a host map that sends the
// providers' hosts, the parse servers and the WAP gateway to it, and a fresh device root.

#include "FixtureServer.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryRoot.h"

#include <memory>
#include <string>

class FixtureSite {
public:
    // Serves the repository's fixture sites, or those under `sites`.
    explicit FixtureSite(const std::string& sites = QUILLORA_FIXTURE_SITES);

    int Port() const { return m_server.Port(); }
    FixtureServer& Server() { return m_server; }
    const TemporaryRoot& Root() const { return m_root; }
    std::string HostMapFile() const { return (m_root.Path() / "hosts").string(); }

private:
    TemporaryRoot m_root;
    FixtureServer m_server;
    std::unique_ptr<ScopedEnvironment> m_hosts;
};

// A loopback port on which nothing listens.
int RefusedPort();
