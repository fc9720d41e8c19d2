// The program as a process: from its start to the main window's first complete frame,
// and its resident memory after ten searches and after ten more.
//
// The main window's opening animation draws its last, complete frame before the window
// is shown, so a script waiting for the window sees the first frame done; the time is
// taken when the script's next line has written a file (a 480 × 720 screenshot, a few
// milliseconds more than the frame itself), from before fork.

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

std::filesystem::path Scratch() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("quillora-bench-program-" + std::to_string(::getpid()));
    return path;
}

pid_t Start(const std::filesystem::path& folder, const std::string& script) {
    std::ofstream(folder / "run.script") << script;
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(folder.c_str()) != 0)
            ::_exit(126);
        int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::setenv("QUILLORA_NO_SOUND", "1", 1);
        ::setenv("QUILLORA_NO_PLAYER", "1", 1);
        std::string root = (folder / "device").string();
        ::execl(QUILLORA_PROGRAM, QUILLORA_PROGRAM, "--headless", "--demo", "--root", root.c_str(), "--script",
                "run.script", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

bool WaitForFile(const std::filesystem::path& file, std::chrono::seconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!std::filesystem::exists(file)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(200us);
    }
    return true;
}

double ResidentMegabytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

void StartToFirstFrame(benchmark::State& state) {
    std::filesystem::path folder = Scratch() / "start";
    std::filesystem::create_directories(folder);
    // A first run makes the device root; the runs measured start on a made one.
    pid_t first = Start(folder, "wait-window MainWnd\nquit\n");
    ::waitpid(first, nullptr, 0);
    for (auto _ : state) {
        std::filesystem::remove(folder / "up.png");
        auto begin = std::chrono::steady_clock::now();
        pid_t pid = Start(folder, "wait-window MainWnd\nscreenshot up.png\nquit\n");
        if (!WaitForFile(folder / "up.png", 30s))
            state.SkipWithError("the main window never came");
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
        ::waitpid(pid, nullptr, 0);
    }
}
BENCHMARK(StartToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Ten searches: the search button, the page, home.
std::string TenSearches(const std::string& marker) {
    std::string lines;
    for (int i = 0; i < 10; ++i)
        lines += "tap 240 180\nwait-page 20000\nwait 100\ntap 48 687\nwait 300\n";
    return lines + "screenshot " + marker + "\nwait 1500\n";
}

void MemoryAfterTenAndTwentySearches(benchmark::State& state) {
    std::filesystem::path folder = Scratch() / "memory";
    std::filesystem::create_directories(folder);
    for (auto _ : state) {
        std::filesystem::remove(folder / "ten.png");
        std::filesystem::remove(folder / "twenty.png");
        pid_t pid = Start(folder, "wait-window MainWnd\ntap 200 33\ntype 功夫\n" + TenSearches("ten.png") +
                                      TenSearches("twenty.png") + "quit\n");
        if (!WaitForFile(folder / "ten.png", 120s))
            state.SkipWithError("the first ten searches did not end");
        double ten = ResidentMegabytes(pid);
        if (!WaitForFile(folder / "twenty.png", 120s))
            state.SkipWithError("the next ten searches did not end");
        double twenty = ResidentMegabytes(pid);
        ::waitpid(pid, nullptr, 0);
        state.counters["rss_after_10_MB"] = ten;
        state.counters["rss_after_20_MB"] = twenty;
        state.counters["growth_MB"] = twenty - ten;
    }
}
BENCHMARK(MemoryAfterTenAndTwentySearches)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(Scratch());
    return 0;
}
