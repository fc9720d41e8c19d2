#include "platform/window/RemoteWindows.h"

#include "platform/base/HandleTable.h"
#include "platform/base/LastError.h"
#include "platform/base/Utf8.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/window/WindowApi.h"
#include "platform/window/WindowSystem.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <system_error>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

constexpr std::chrono::seconds Patience{1};
constexpr std::size_t MaxMessage = 4096;

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    int Get() const { return m_fd; }

private:
    int m_fd;
};

struct RemoteWindow {
    std::string socketPath;
    long process;
    std::uintptr_t window;
};

// Never destroyed: the serving thread and windows on threads of their own may use it
// while the process ends.
struct Shared {
    std::mutex lock;
    // What the serving thread holds once it owns the socket, and in which process: a
    // child made by fork inherits the numbers but not the thread.
    int ownershipFd = -1;
    int listenerFd = -1;
    long owningProcess = 0;
    std::string ownedSocket;
    std::unordered_map<std::uintptr_t, RemoteWindow> remotes;
    std::map<std::tuple<std::string, long, std::uintptr_t>, std::uintptr_t> handles;
};

Shared& TheShared() {
    static Shared& shared = *new Shared;
    return shared;
}

std::atomic<long> g_offeringProcess{0};
std::atomic<UINT> g_raiseMessage{0};
std::atomic<int> g_raises{0};
std::atomic<platform::DesktopRaiser> g_raiser{nullptr};

std::string SocketPath(const std::filesystem::path& root) { return (root / ".windows.sock").string(); }

bool AddressFor(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Waits until the descriptor is ready for `events` or the deadline passes. A hung-up
// peer counts as ready: the call that follows reports it.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd entry{fd, events, 0};
        int ready = ::poll(&entry, 1, static_cast<int>(left));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

bool SendAll(int fd, std::string_view data, Clock::time_point deadline) {
    while (!data.empty()) {
        if (!WaitFor(fd, POLLOUT, deadline))
            return false;
        // MSG_NOSIGNAL: a peer that went away must not take this process with it.
        ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

// Everything the peer writes until it stops writing.
std::optional<std::string> ReceiveAll(int fd, Clock::time_point deadline) {
    std::string data;
    char buffer[512];
    for (;;) {
        if (!WaitFor(fd, POLLIN, deadline))
            return std::nullopt;
        ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got == 0)
            return data;
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return std::nullopt;
        }
        data.append(buffer, static_cast<std::size_t>(got));
        if (data.size() > MaxMessage)
            return std::nullopt;
    }
}

std::vector<std::string_view> Fields(std::string_view text) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        std::size_t end = text.find('\0', start);
        fields.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

std::string TextField(LPCWSTR text) { return text ? "+" + platform::Utf8FromWide(text) : std::string(); }

std::optional<std::wstring> FromTextField(std::string_view field) {
    if (field.empty())
        return std::nullopt;
    return platform::WideFromUtf8(field.substr(1));
}

template <class Number> std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string Request(std::initializer_list<std::string_view> fields) {
    std::string request;
    bool first = true;
    for (std::string_view field : fields) {
        if (!first)
            request += '\0';
        request += field;
        first = false;
    }
    return request;
}

// One request to the socket's owner; nothing when nobody listens there or the owner
// does not answer in time.
std::optional<std::string> Ask(const std::string& socketPath, const std::string& request) {
    sockaddr_un address;
    if (!AddressFor(socketPath, address))
        return std::nullopt;
    Descriptor connection(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!connection.IsOpen())
        return std::nullopt;
    // An owner whose backlog is full makes connect wait; Linux bounds that wait by the
    // send timeout.
    timeval limit{static_cast<time_t>(Patience.count()), 0};
    ::setsockopt(connection.Get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(connection.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return std::nullopt;
    auto deadline = Clock::now() + Patience;
    if (!SendAll(connection.Get(), request, deadline))
        return std::nullopt;
    ::shutdown(connection.Get(), SHUT_WR);
    return ReceiveAll(connection.Get(), deadline);
}

bool IsLocalWindow(HWND window) {
    platform::window::System& system = platform::window::TheSystem();
    std::lock_guard guard(system.lock);
    return system.windows.count(window) != 0;
}

// The window a request names, when it names one of this process's.
HWND RequestedWindow(std::string_view process, std::string_view window) {
    auto pid = ParseNumber<long>(process);
    auto value = ParseNumber<std::uintptr_t>(window);
    if (!pid || !value || *pid != static_cast<long>(::getpid()))
        return nullptr;
    return reinterpret_cast<HWND>(*value);
}

std::string Answer(std::string_view request) {
    std::vector<std::string_view> fields = Fields(request);
    if (fields.size() != 3)
        return {};
    if (fields[0] == "find") {
        std::optional<std::wstring> className = FromTextField(fields[1]);
        std::optional<std::wstring> windowName = FromTextField(fields[2]);
        HWND found = platform::window::FindLocalWindow(className ? className->c_str() : nullptr,
                                                       windowName ? windowName->c_str() : nullptr);
        if (!found)
            return {};
        return std::to_string(::getpid()) + ' ' + std::to_string(reinterpret_cast<std::uintptr_t>(found));
    }
    HWND window = RequestedWindow(fields[1], fields[2]);
    if (fields[0] == "alive")
        return window && IsLocalWindow(window) ? "1" : "0";
    if (fields[0] == "raise") {
        // The window's own thread raises it, as only that thread may activate it.
        UINT raise = g_raiseMessage;
        return window && raise && PostMessageW(window, raise, 0, 0) ? "1" : "0";
    }
    return {};
}

void Publish(int ownershipFd, int listenerFd, const std::string& socketPath) {
    Shared& shared = TheShared();
    std::lock_guard guard(shared.lock);
    shared.ownershipFd = ownershipFd;
    shared.listenerFd = listenerFd;
    shared.owningProcess = static_cast<long>(::getpid());
    shared.ownedSocket = socketPath;
}

void Unpublish() {
    Shared& shared = TheShared();
    std::lock_guard guard(shared.lock);
    shared.ownershipFd = shared.listenerFd = -1;
    shared.owningProcess = 0;
    shared.ownedSocket.clear();
}

void Serve() {
    std::filesystem::path root = platform::DeviceRoot();
    std::string socketPath = SocketPath(root);
    sockaddr_un address;
    // FIXME: a root whose path leaves no room in sun_path (about 100 bytes) offers nothing.
    if (!AddressFor(socketPath, address))
        return;
    Descriptor ownership(::open((root / ".windows.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (!ownership.IsOpen())
        return;
    // Waits as long as it takes: the lock comes free only when its holder ends.
    while (::flock(ownership.Get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return;
    }
    // Whatever is at the path now was left by an owner that ended without removing it.
    ::unlink(socketPath.c_str());
    Descriptor listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!listener.IsOpen() ||
        ::bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener.Get(), 16) != 0)
        return;
    Publish(ownership.Get(), listener.Get(), socketPath);
    for (;;) {
        Descriptor client(::accept4(listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!client.IsOpen()) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                continue;
            }
            Unpublish();
            return;
        }
        // One asker at a time, each with a deadline, so a silent one holds up the rest a
        // second at most.
        auto deadline = Clock::now() + Patience;
        if (std::optional<std::string> request = ReceiveAll(client.Get(), deadline))
            SendAll(client.Get(), Answer(*request), deadline);
    }
}

// Serve returns only when it cannot go on: the next window shown tries again.
void ServeUntilItFails() {
    Serve();
    long self = static_cast<long>(::getpid());
    g_offeringProcess.compare_exchange_strong(self, 0);
}

std::optional<RemoteWindow> RemoteFor(HWND window) {
    Shared& shared = TheShared();
    std::lock_guard guard(shared.lock);
    auto found = shared.remotes.find(reinterpret_cast<std::uintptr_t>(window));
    if (found == shared.remotes.end())
        return std::nullopt;
    return found->second;
}

} // namespace

namespace platform {

namespace {
// Off until the program asks: a process that never does (a test, a tool) keeps its
// windows to itself and never touches a device root for them.
std::atomic<bool> g_shared{false};
} // namespace

void ShareWindowsWithOtherProcesses() { g_shared = true; }

void SetDesktopRaiser(DesktopRaiser raiser) { g_raiser = raiser; }

int RemoteRaises() { return g_raises; }

bool OffersWindows() {
    Shared& shared = TheShared();
    std::lock_guard guard(shared.lock);
    return shared.listenerFd >= 0 && shared.owningProcess == static_cast<long>(::getpid());
}

} // namespace platform

namespace platform::window {

void OfferWindows() {
    if (!g_shared)
        return;
    long self = static_cast<long>(::getpid());
    if (g_offeringProcess == self)
        return;
    Shared& shared = TheShared();
    {
        std::lock_guard guard(shared.lock);
        if (g_offeringProcess == self)
            return;
        // A child made by fork offers windows of its own; its parent's socket and lock
        // are not its to keep open.
        if (shared.listenerFd >= 0)
            ::close(shared.listenerFd);
        if (shared.ownershipFd >= 0)
            ::close(shared.ownershipFd);
        shared.listenerFd = shared.ownershipFd = -1;
        shared.owningProcess = 0;
        shared.ownedSocket.clear();
        g_offeringProcess = self;
    }
    g_raiseMessage = RegisterWindowMessageW(L"Quillora.RemoteRaise");
    try {
        std::thread(ServeUntilItFails).detach();
    } catch (const std::system_error&) {
        // The next window shown tries again.
        g_offeringProcess = 0;
    }
}

HWND FindRemoteWindow(LPCWSTR className, LPCWSTR windowName) {
    if (!g_shared)
        return nullptr;
    std::string socketPath = SocketPath(platform::DeviceRoot());
    Shared& shared = TheShared();
    {
        // The owner's own windows were searched already.
        std::lock_guard guard(shared.lock);
        if (shared.ownedSocket == socketPath && shared.owningProcess == static_cast<long>(::getpid()))
            return nullptr;
    }
    std::optional<std::string> answer = Ask(socketPath, Request({"find", TextField(className), TextField(windowName)}));
    if (!answer || answer->empty())
        return nullptr;
    std::size_t space = answer->find(' ');
    if (space == std::string::npos)
        return nullptr;
    auto process = ParseNumber<long>(std::string_view(*answer).substr(0, space));
    auto window = ParseNumber<std::uintptr_t>(std::string_view(*answer).substr(space + 1));
    if (!process || !window)
        return nullptr;
    std::lock_guard guard(shared.lock);
    auto key = std::make_tuple(socketPath, *process, *window);
    auto known = shared.handles.find(key);
    if (known != shared.handles.end())
        return reinterpret_cast<HWND>(known->second);
    std::uintptr_t handle = platform::NewHandleValue();
    shared.handles.emplace(key, handle);
    shared.remotes.emplace(handle, RemoteWindow{socketPath, *process, *window});
    return reinterpret_cast<HWND>(handle);
}

bool IsRemoteHandle(HWND window) { return RemoteFor(window).has_value(); }

bool IsRemoteWindow(HWND window) {
    std::optional<RemoteWindow> remote = RemoteFor(window);
    if (!remote)
        return false;
    std::optional<std::string> answer =
        Ask(remote->socketPath, Request({"alive", std::to_string(remote->process), std::to_string(remote->window)}));
    return answer && *answer == "1";
}

bool RaiseRemoteWindow(HWND window) {
    std::optional<RemoteWindow> remote = RemoteFor(window);
    std::optional<std::string> answer;
    if (remote)
        answer = Ask(remote->socketPath,
                     Request({"raise", std::to_string(remote->process), std::to_string(remote->window)}));
    if (!answer || *answer != "1") {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    return true;
}

bool TakeRemoteRaise(const MSG& message) {
    UINT raise = g_raiseMessage;
    if (raise == 0 || message.message != raise || !message.hwnd)
        return false;
    if (SetForegroundWindow(message.hwnd)) {
        if (platform::DesktopRaiser raiser = g_raiser)
            raiser();
        ++g_raises;
    }
    return true;
}

} // namespace platform::window
