// Two copies of the program on one device root: the second finds the first one's main
// window and brings it forward, the way the program does when it is started twice.

#include "platform/window/RemoteWindows.h"
#include "platform/base/LastError.h"
#include "platform/window/WindowApi.h"
#include "support/ForkedChild.h"
#include "support/Sanitizers.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using Child = ForkedChild;

void Say(int fd, char byte) {
    if (::write(fd, &byte, 1) != 1)
        ::_exit(1);
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    std::this_thread::sleep_for(1ms);
}

// A Unix socket bound at `path`, listening but never answering; with `keep` false it is
// closed at once and its file left behind, as an owner that died leaves it.
int BindSocket(const std::filesystem::path& path, bool keep) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    bool listening =
        fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd, 4) == 0;
    if (listening && keep)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

// The first copy: a shown main window, reported once the copy answers the others (or
// after twenty seconds without: 'n'), pumped until the second copy's raise has been
// carried out (ten seconds at most); it then reports how many raises came and whether
// its window became the active one, and pumps on until it is killed.
[[noreturn]] void RunFirstCopy(int report) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    ::alarm(60);
    WNDCLASSW windowClass{};
    windowClass.lpszClassName = L"MainWnd";
    windowClass.lpfnWndProc = &DefWindowProcW;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"MainWnd", L"Quillora", WS_POPUP | WS_VISIBLE, 0, 0, 480, 720, nullptr, nullptr,
                                  nullptr, nullptr);
    for (auto giveUp = Clock::now() + 20s; window && !platform::OffersWindows() && Clock::now() < giveUp;)
        Pump();
    Say(report, window && platform::OffersWindows() ? 'w' : 'n');
    for (auto giveUp = Clock::now() + 10s; platform::RemoteRaises() == 0 && Clock::now() < giveUp;)
        Pump();
    // A little longer, so that one request raising twice would show.
    for (auto settle = Clock::now() + 100ms; Clock::now() < settle;)
        Pump();
    Say(report, static_cast<char>('0' + platform::RemoteRaises()));
    Say(report, GetActiveWindow() == window ? 'a' : '-');
    for (;;)
        Pump();
}

TEST(RemoteWindows, ASecondCopyFindsTheFirstCopysWindowAndRaisesIt) {
#ifdef QUILLORA_UNDER_THREAD_SANITIZER
    GTEST_SKIP() << "the first copy is a fork of a process with threads, which the race detector does not follow";
#endif
    TemporaryRoot root(TemporaryRoot::Image::None);
    platform::ShareWindowsWithOtherProcesses(); // both copies: the fork keeps it
    // An owner that ended without removing its socket: the first copy takes the place over.
    BindSocket(root.Path() / ".windows.sock", false);
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(report[0]);
        RunFirstCopy(report[1]);
    }
    Child firstCopy(pid);
    ::close(report[1]);
    ASSERT_EQ(ReadReport(report[0], 25), 'w') << "the first copy made its window and answers the others";

    HWND found = FindWindowW(L"MainWnd", nullptr);
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(IsWindow(found));
    EXPECT_EQ(FindWindowW(L"mainwnd", L"Quillora"), found) << "the same window gets the same handle";
    EXPECT_EQ(FindWindowW(L"MainWnd", L"Another title"), nullptr);
    EXPECT_EQ(FindWindowW(L"OtherWnd", nullptr), nullptr);

    // Nothing here takes the handle for a window of this process.
    EXPECT_FALSE(PostMessageW(found, WM_CLOSE, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(DestroyWindow(found));
    HWND activeBefore = GetActiveWindow();
    SetActiveWindow(found);
    EXPECT_EQ(GetActiveWindow(), activeBefore);

    EXPECT_TRUE(SetForegroundWindow(found));
    EXPECT_EQ(ReadReport(report[0]), '1');
    EXPECT_EQ(ReadReport(report[0]), 'a') << "the first copy's window did not become the active one";

    firstCopy.Kill();
    EXPECT_FALSE(IsWindow(found));
    EXPECT_FALSE(SetForegroundWindow(found));
    EXPECT_EQ(FindWindowW(L"MainWnd", nullptr), nullptr);
    ::close(report[0]);
}

TEST(RemoteWindows, AnOwnerThatNeverAnswersCostsASecondNotAHang) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    platform::ShareWindowsWithOtherProcesses();
    int silent = BindSocket(root.Path() / ".windows.sock", true);
    ASSERT_GE(silent, 0);
    auto start = Clock::now();
    EXPECT_EQ(FindWindowW(L"MainWnd", nullptr), nullptr);
    EXPECT_LT(Clock::now() - start, 3s);
    ::close(silent);
}

} // namespace
