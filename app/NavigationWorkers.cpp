#include "app/NavigationWorkers.h"

#include "convert/NavigationWorker.h"
#include "platform/device/Process.h"

#include <chrono>
#include <memory>

NavigationWorkers::~NavigationWorkers() {
    std::lock_guard guard(m_lock);
    for (HANDLE thread : m_threads)
        CloseHandle(thread);
}

DWORD NavigationWorkers::Run(LPVOID work) {
    std::unique_ptr<std::function<void()>> job(static_cast<std::function<void()>*>(work));
    (*job)();
    return 0;
}

bool NavigationWorkers::Start(std::function<void()> work) {
    auto job = std::make_unique<std::function<void()>>(std::move(work));
    std::lock_guard guard(m_lock);
    Prune();
    HANDLE thread = CreateThread(nullptr, WorkerStackSize, &NavigationWorkers::Run, job.get(), 0, nullptr);
    if (!thread)
        return false;
    job.release(); // the thread owns it now
    m_threads.push_back(thread);
    ++m_started;
    return true;
}

int NavigationWorkers::WaitAll(DWORD milliseconds, const std::function<void()>& between) {
    constexpr DWORD Slice = 10;
    std::vector<HANDLE> threads;
    {
        std::lock_guard guard(m_lock);
        threads = m_threads;
        ++m_waiting;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    std::erase_if(threads, [](HANDLE thread) { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; });
    while (!threads.empty() && std::chrono::steady_clock::now() < deadline) {
        if (between)
            between();
        WaitForSingleObject(threads.front(), Slice);
        std::erase_if(threads, [](HANDLE thread) { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; });
    }
    std::lock_guard guard(m_lock);
    --m_waiting;
    Prune();
    return static_cast<int>(threads.size());
}

int NavigationWorkers::Running() {
    std::lock_guard guard(m_lock);
    Prune();
    return static_cast<int>(m_threads.size());
}

void NavigationWorkers::Prune() {
    if (m_waiting > 0)
        return;
    std::erase_if(m_threads, [](HANDLE thread) {
        if (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0)
            return false;
        CloseHandle(thread);
        return true;
    });
}
