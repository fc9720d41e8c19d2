// Linked into a test program, this ends the program when one test runs past its time,
// naming the test: a hung loop fails at once instead of stalling the whole run.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace {

// 60 s unless QUILLORA_TEST_TIME_LIMIT_MS says otherwise.
std::chrono::milliseconds TestTimeLimit() {
    const char* limit = std::getenv("QUILLORA_TEST_TIME_LIMIT_MS");
    long long milliseconds = limit ? std::atoll(limit) : 0;
    return std::chrono::milliseconds(milliseconds > 0 ? milliseconds : 60000);
}

using Clock = std::chrono::steady_clock;

// Lives until the process ends (never freed): the watching thread may outlive gtest's listeners.
struct WatchState {
    std::mutex lock;
    std::condition_variable wake;
    std::string test;
    Clock::time_point deadline = Clock::time_point::max();
};

void Watch(WatchState& state) {
    std::unique_lock guard(state.lock);
    for (;;) {
        if (state.deadline == Clock::time_point::max()) {
            state.wake.wait(guard);
            continue;
        }
        state.wake.wait_until(guard, state.deadline);
        if (Clock::now() >= state.deadline) {
            std::fprintf(stderr, "watchdog: %s ran longer than %lld ms and is taken for hung\n", state.test.c_str(),
                         static_cast<long long>(TestTimeLimit().count()));
            std::fflush(stderr);
            std::_Exit(124);
        }
    }
}

class Watchdog : public ::testing::EmptyTestEventListener {
public:
    Watchdog() : m_state(*new WatchState) {
        std::thread([&state = m_state] { Watch(state); }).detach();
    }

    void OnTestStart(const ::testing::TestInfo& test) override {
        std::lock_guard guard(m_state.lock);
        m_state.test = std::string(test.test_suite_name()) + "." + test.name();
        m_state.deadline = Clock::now() + TestTimeLimit();
        m_state.wake.notify_one();
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        std::lock_guard guard(m_state.lock);
        m_state.deadline = Clock::time_point::max();
    }

private:
    WatchState& m_state;
};

class WatchdogEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog); }
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new WatchdogEnvironment);

} // namespace
