// From the interception of a search address to the converted page's first paint, on the
// fixture server over loopback, a 200 KB provider page, taken apart:
// - ServerAnswer: the page fetched and read whole by the program's HTTP client (the
//   fixture server's answer and the loopback transfer: not the program's work);
// - FetchAndConvert: the worker's road without windows (fetch, conversion, the page
//   written);
// - InterceptToFirstPaint: the whole road in the program: BeforeNavigate2 cancelled,
//   the worker with its wait dialog, the local page loaded by the control under the
//   progress dialog, laid out and painted (a long page's first part: the rest is laid
//   out after the first paint, outside the time taken).
// Conversion = FetchAndConvert - ServerAnswer; show = InterceptToFirstPaint -
// FetchAndConvert; the program's own part = InterceptToFirstPaint - ServerAnswer.

#include "BenchPages.h"

#include "FixtureServer.h"
#include "app/AppDriver.h"
#include "app/MainApp.h"
#include "convert/NavigationWorker.h"
#include "fetch/HttpSession.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/window/WindowApi.h"
#include "settings/ProgramFolder.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

const wchar_t* const BigSearch = L"http://so.youku.com/search_video/q_big";

// A device root, a site with the 200 KB page and the fixture server sending the
// provider's host to it; for the whole run.
class BenchSite {
public:
    BenchSite()
        : m_path(std::filesystem::temp_directory_path() / ("quillora-bench-host-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(m_path / "sites/so.youku.com/search_video");
        std::ofstream(m_path / "sites/so.youku.com/search_video/q_big", std::ios::binary) << SearchPage();
        m_server = std::make_unique<FixtureServer>(m_path / "sites");
        int port = m_server->Start();
        std::ofstream(m_path / "hosts") << "so.youku.com 127.0.0.1:" << port << "\n";
        setenv("QUILLORA_HOSTS", (m_path / "hosts").c_str(), 1);
        platform::SetDeviceRoot(m_path / "root");
        CreateProgramFolders();
    }
    ~BenchSite() {
        m_server->Stop();
        std::filesystem::remove_all(m_path);
    }

private:
    std::filesystem::path m_path;
    std::unique_ptr<FixtureServer> m_server;
};

BenchSite& Site() {
    static BenchSite site;
    return site;
}

void ServerAnswer(benchmark::State& state) {
    Site();
    for (auto _ : state) {
        HttpSession session;
        benchmark::DoNotOptimize(session.Request(BigSearch, false, nullptr, -1));
    }
}
BENCHMARK(ServerAnswer)->Unit(benchmark::kMillisecond);

void FetchAndConvert(benchmark::State& state) {
    Site();
    for (auto _ : state) {
        ScriptedCoreUi ui;
        NavigationOutcome outcome = RunNavigation(ui, BigSearch);
        if (outcome.result != ClassifyResult::PageWritten)
            state.SkipWithError("the page was not converted");
    }
}
BENCHMARK(FetchAndConvert)->Unit(benchmark::kMillisecond);

void InterceptToFirstPaint(benchmark::State& state) {
    Site();
    MainApp app;
    app.InitInstance();
    AppDriver driver(app);
    BrowserWnd& view = app.Browser();
    driver.Pump();
    for (auto _ : state) {
        view.Navigate(BigSearch);
        // Ready to scroll: the page has been shown and painted (the worker may still be
        // letting go of its request on its own thread).
        if (!driver.PumpUntil([&view] { return view.PageReady(); }))
            state.SkipWithError("no page came");
        UpdateWindow(view.BrowserWindow());
        // The rest of a long page comes after its first screen: not part of this step.
        state.PauseTiming();
        driver.PumpUntil([&view] { return view.ReadyState() == READYSTATE_COMPLETE && view.RunningWorkers() == 0; });
        state.ResumeTiming();
    }
}
BENCHMARK(InterceptToFirstPaint)->Unit(benchmark::kMillisecond);

} // namespace
