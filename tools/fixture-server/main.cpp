// fixture-server [--sites DIR] [--port N] [--bind ADDRESS]
// Serves the fixture sites until interrupted; prints "listening on ADDRESS:PORT" first.

#include "FixtureServer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {
volatile std::sig_atomic_t s_stop = 0;
void OnSignal(int) { s_stop = 1; }
} // namespace

int main(int argc, char** argv) {
    std::string sites = QUILLORA_FIXTURE_SITES;
    std::string address = "127.0.0.1";
    int port = 0;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (i + 1 < argc && option == "--sites")
            sites = argv[++i];
        else if (i + 1 < argc && option == "--port")
            port = std::atoi(argv[++i]);
        else if (i + 1 < argc && option == "--bind")
            address = argv[++i];
        else {
            std::fprintf(stderr, "usage: fixture-server [--sites DIR] [--port N] [--bind ADDRESS]\n");
            return 2;
        }
    }
    FixtureServer server(sites);
    int bound = server.Start(address, port);
    if (bound < 0) {
        std::fprintf(stderr, "fixture-server: cannot listen on %s:%d\n", address.c_str(), port);
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::printf("listening on %s:%d\n", address.c_str(), bound);
    std::fflush(stdout);
    while (!s_stop)
        ::pause();
    server.Stop();
    return 0;
}
