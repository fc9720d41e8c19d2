#pragma once
// A loopback server that answers each request with bytes the test writes out step by
// step, for the faults real servers and networks produce: a connection cut mid-body, a
// broken chunk, a status line and then silence, a slow drip, a redirect that loops.
// Every connection runs on a thread of its own; the destructor ends them all.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct RawStep {
    std::string bytes;
    std::chrono::milliseconds pauseAfter{0};
};

struct RawReply {
    std::vector<RawStep> steps;
    bool hangAfter = false; // keep the connection open and silent until the server stops
};

struct RawRequest {
    std::string target; // "/path?query"
    std::string host;   // the Host header, without a port
};

// A complete answer with a status, headers and a body.
RawReply PlainReply(int status, const std::string& body, const std::string& headers = "");

class RawServer {
public:
    // `answer` is called on the connection's thread.
    explicit RawServer(std::function<RawReply(const RawRequest& request)> answer);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    int Port() const { return m_port; }

private:
    void Accept();
    void Serve(int connection);
    // Waits for the pause, or less when the server stops; false when it stopped.
    bool Pause(std::chrono::milliseconds pause);

    std::function<RawReply(const RawRequest&)> m_answer;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::mutex m_lock;
    std::condition_variable m_stopped;
    std::vector<std::thread> m_connections;
    std::thread m_acceptor;
};
