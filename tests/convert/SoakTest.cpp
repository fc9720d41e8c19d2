// Two hundred navigations, eight at a time, against a server that mixes good pages and
// parse-server answers with every fault it knows, with short timeouts. Every one must
// end, each in a correct page or a reported failure, and nothing may be written but
// the pages and play lists of the navigations that worked.

#include "FixtureServer.h"
#include "convert/NavigationWorker.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/base/Utf8.h"
#include "platform/device/Process.h"
#include "settings/ProgramFolder.h"
#include "support/HostileReplies.h"
#include "support/IniBytes.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <set>
#include <thread>

namespace {

constexpr int Navigations = 200;
constexpr int AtOnce = 8;
// Well above what the slowest faults take with the timeouts below, well inside CI's time.
constexpr std::chrono::seconds WallClockCap{90};

struct GoodRoad {
    const char* address;
    const char* expected; // the checked page under tests/fixtures/expected, or null for a video
    ClassifyResult result;
};

const GoodRoad GoodRoads[] = {
    {"http://so.youku.com/search_video/q_%e5%8a%9f%e5%a4%ab", "youku/video-search", ClassifyResult::PageWritten},
    {"http://so.tudou.com/isearch/kungfu", "tudou/video-search", ClassifyResult::PageWritten},
    {"http://so.56.com/index?key=kungfu", "56/index-search", ClassifyResult::PageWritten},
    {"http://6.cn/search.php?key=kungfu", "6cn/search", ClassifyResult::PageWritten},
    {"http://v.youku.com/v_show/id_XMTIzNDU2Nzg=.html", nullptr, ClassifyResult::PlaybackStarted},
};

// Fault addresses: a provider page or a video page whose parse-server query carries the fault's name.
std::string FaultAddress(const std::string& fault, bool video) {
    return video ? "http://v.youku.com/v_show/id_fault-" + fault + ".html"
                 : "http://so.youku.com/search_video/q_fault-" + fault;
}

// Good answers come from the fixture site, faults from their names in the address.
RawReply Answer(const RawRequest& request, int port) {
    if (std::size_t at = request.target.find("fault-"); at != std::string::npos) {
        std::string name = request.target.substr(at + 6);
        name = name.substr(0, name.find_first_of("./"));
        if (auto reply = FaultReply(name))
            return *reply;
    }
    return SiteFileReply(request, port);
}

struct Visit {
    std::string address;
    const GoodRoad* good = nullptr; // null: a fault
    NavigationOutcome outcome{};
    std::vector<FeedbackRecord> records;
    std::chrono::milliseconds took{};
};

DWORD RunVisit(LPVOID parameter) {
    auto& visit = *static_cast<Visit*>(parameter);
    ScriptedCoreUi ui;
    auto start = std::chrono::steady_clock::now();
    visit.outcome = RunNavigation(ui, platform::WideFromUtf8(visit.address));
    visit.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    visit.records = ui.Records();
    return 0;
}

bool Has(const std::vector<FeedbackRecord>& records, FeedbackRecord::Kind kind) {
    return std::any_of(records.begin(), records.end(), [&](const FeedbackRecord& r) { return r.kind == kind; });
}

class SoakTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateProgramFolders();
        std::string map;
        for (const char* host : {"so.youku.com", "so.tudou.com", "so.56.com", "6.cn", "www.flvcd.com", "www.8fan.net"})
            map += std::string(host) + " 127.0.0.1:" + std::to_string(m_server.Port()) + "\n";
        WriteHostFile(m_root.Host("hosts"), map);
        m_hosts = std::make_unique<ScopedEnvironment>("QUILLORA_HOSTS", m_root.Host("hosts").string());
    }
    void ParseServer(int server) {
        WriteHostFile(m_root.Host("Quillora/Data/Setting.ini"),
                      IniBytes(u"[Network]\r\n  FlvParseServer=" + std::u16string(1, u'0' + server)));
    }
    // Runs the visits, AtOnce of them at a time, each on a worker's stack.
    void RunAll(std::vector<Visit>& visits) {
        std::atomic<std::size_t> next{0};
        std::vector<std::thread> runners;
        for (int i = 0; i < AtOnce; ++i) {
            runners.emplace_back([&] {
                for (std::size_t k; (k = next++) < visits.size();) {
                    HANDLE worker = CreateThread(nullptr, WorkerStackSize, &RunVisit, &visits[k], 0, nullptr);
                    WaitForSingleObject(worker, INFINITE);
                    CloseHandle(worker);
                }
            });
        }
        for (std::thread& runner : runners)
            runner.join();
    }

    TemporaryRoot m_root;
    RawServer m_server{[this](const RawRequest& request) { return Answer(request, m_server.Port()); }};
    ScopedEnvironment m_connect{"QUILLORA_CONNECT_TIMEOUT_MS", "1000"};
    ScopedEnvironment m_receive{"QUILLORA_RECEIVE_TIMEOUT_MS", "1000"};
    ScopedEnvironment m_total{"QUILLORA_REQUEST_TIMEOUT_MS", "2000"};
    std::unique_ptr<ScopedEnvironment> m_hosts;
};

TEST_F(SoakTest, EveryNavigationEndsInACorrectPageOrAReportedFailure) {
    std::mt19937 random(20261208);
    std::vector<Visit> visits(Navigations);
    for (Visit& visit : visits) {
        if (random() % 3 == 0) {
            visit.good = &GoodRoads[random() % std::size(GoodRoads)];
            visit.address = visit.good->address;
        } else {
            const std::vector<std::string>& faults = FaultNames();
            const std::string& fault = faults[random() % faults.size()];
            // An answer a player could take for an option is only a fault as a stream address.
            visit.address = FaultAddress(fault, random() % 2 == 0 || fault == "option");
        }
    }
    std::set<std::filesystem::path> before;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::current_path()))
        before.insert(entry.path());

    auto start = std::chrono::steady_clock::now();
    // The first half asks parse server 1, the second half parse server 2.
    std::vector<Visit> first(visits.begin(), visits.begin() + Navigations / 2);
    std::vector<Visit> second(visits.begin() + Navigations / 2, visits.end());
    ParseServer(0);
    RunAll(first);
    ParseServer(1);
    RunAll(second);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, WallClockCap);

    std::set<std::filesystem::path> pages;
    for (std::vector<Visit>* half : {&first, &second}) {
        for (const Visit& visit : *half) {
            SCOPED_TRACE(visit.address);
            // No navigation outlives its timeouts by much: one request, or two for a video.
            EXPECT_LT(visit.took, std::chrono::seconds(10));
            std::filesystem::path page = m_root.HostOf(visit.outcome.outputPath);
            if (visit.good) {
                EXPECT_EQ(visit.outcome.result, visit.good->result);
                if (visit.good->expected) {
                    EXPECT_EQ(ReadHostFile(page), ReadHostFile(std::filesystem::path(QUILLORA_EXPECTED_PAGES) /
                                                               (std::string(visit.good->expected) + ".expected.html")));
                    pages.insert(page);
                } else {
                    EXPECT_TRUE(Has(visit.records, FeedbackRecord::Kind::ShowPlaylist));
                }
                continue;
            }
            // A fault is a failure, said to the user where the program says it, and nothing more.
            bool video = visit.address.find("v_show") != std::string::npos;
            EXPECT_EQ(visit.outcome.result, video ? ClassifyResult::PlaybackFailed : ClassifyResult::PageFailed);
            if (!video) {
                EXPECT_TRUE(Has(visit.records, FeedbackRecord::Kind::MessageBox));
            }
            EXPECT_FALSE(Has(visit.records, FeedbackRecord::Kind::Navigate));
            EXPECT_FALSE(Has(visit.records, FeedbackRecord::Kind::ShowPlaylist));
            EXPECT_FALSE(std::filesystem::exists(page));
            EXPECT_FALSE(Has(visit.records, FeedbackRecord::Kind::ShowWait) &&
                         visit.records.back().kind == FeedbackRecord::Kind::ShowWait);
        }
    }
    // Only the pages of the navigations that worked are in the device's temporary folder,
    // and nothing new appeared where the program runs.
    std::set<std::filesystem::path> written;
    for (const auto& entry : std::filesystem::directory_iterator(m_root.Host("Quillora/Temp")))
        written.insert(entry.path());
    EXPECT_EQ(written, pages);
    std::set<std::filesystem::path> after;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::current_path()))
        after.insert(entry.path());
    EXPECT_EQ(after, before);
    std::printf("soak: %d navigations in %.1f s\n", Navigations, std::chrono::duration<double>(took).count());
}

} // namespace
