#pragma once
// The worker threads of intercepted navigations: each started with the workers' own
// stack size, none waited for while the program runs, all of them waited for (within a
// time bound) when it ends, after their transfers and message boxes have been told to
// stop, so that none of them writes a page or touches a window after that.

#include "platform/base/Win32Types.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

class NavigationWorkers {
public:
    NavigationWorkers() = default;
    ~NavigationWorkers();
    NavigationWorkers(const NavigationWorkers&) = delete;
    NavigationWorkers& operator=(const NavigationWorkers&) = delete;

    // Runs `work` on a new thread; false when no thread could be made.
    bool Start(std::function<void()> work);
    // Waits up to `milliseconds` in all for the workers still running, calling `between`
    // every few milliseconds meanwhile (a worker may be waiting for the caller's thread
    // to answer a message); the number still running when the time was up.
    int WaitAll(DWORD milliseconds, const std::function<void()>& between = {});
    // Workers started and not yet seen to end.
    int Running();
    // Workers started since the beginning.
    int Started() const { return m_started.load(); }

private:
    static DWORD Run(LPVOID work);
    // Forgets the handles of workers that have ended. Called with the lock held.
    void Prune();

    std::mutex m_lock;
    std::vector<HANDLE> m_threads;
    std::atomic<int> m_started{0};
    int m_waiting = 0; // WaitAll calls under way: their handles stay open
};
