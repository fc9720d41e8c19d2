// The program under a long run of navigations (QUILLORA_SOAK_NAVIGATIONS, 50 unless set;
// scripts/soak.sh runs 500): searches on each provider, listings, paged listings, video
// pages and their play lists, back and forward, favourites and channels, driven by a
// script as a finger would, against a loopback site that deals one of the network's
// faults in every ten requests, with timeouts of a second or two. The program must end
// by itself in time, have told the user of every fault, keep its memory, and leave
// nothing behind but its device root.

#include "FixtureServer.h"
#include "ProgramProcess.h"
#include "support/HostileReplies.h"
#include "support/Sanitizers.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <sstream>
#include <string_view>

namespace {

using namespace std::chrono_literals;

#if defined(QUILLORA_UNDER_ADDRESS_SANITIZER) || defined(QUILLORA_UNDER_THREAD_SANITIZER)
constexpr bool MemoryFiguresMeanSomething = false;
#else
constexpr bool MemoryFiguresMeanSomething = true;
#endif

long long NowMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The fixture site, with every tenth request answered by a fault, the faults in turn.
class FaultySite {
public:
    struct Dealt {
        std::string fault;
        long long at;
    };

    int Port() const { return m_server.Port(); }
    std::vector<Dealt> Faults() {
        std::lock_guard guard(m_lock);
        return m_dealt;
    }
    int Requests() {
        std::lock_guard guard(m_lock);
        return m_requests;
    }

private:
    RawReply Answer(const RawRequest& request) {
        // A redirect that loops goes on looping; its own requests are not counted.
        if (request.target == "/loop")
            return *FaultReply("loop");
        {
            std::lock_guard guard(m_lock);
            if (++m_requests % 10 == 0) {
                const std::string& fault = FaultNames()[(m_requests / 10 - 1) % FaultNames().size()];
                m_dealt.push_back({fault, NowMilliseconds()});
                return *FaultReply(fault);
            }
        }
        return SiteFileReply(request, m_server.Port());
    }

    std::mutex m_lock;
    int m_requests = 0;
    std::vector<Dealt> m_dealt;
    RawServer m_server{[this](const RawRequest& request) { return Answer(request); }};
};

// What the script expects on the page shown, by the fixture site's pages: links to
// videos, to other listings and to the next page, and where each leads.
struct PageModel {
    std::vector<const char*> videos;
    std::vector<std::pair<const char*, const char*>> listings; // link part, page it shows
    std::vector<std::pair<const char*, const char*>> paged;
};

const std::map<std::string, PageModel>& Pages() {
    static const std::map<std::string, PageModel> pages = {
        {"youku-search",
         {{"v_show/id_XMTIzNDU2Nzg", "v_show/id_XMTk4NzY1NDM", "v_show/id_XMjAwMDAwMDA"},
          {},
          {{"_page_2", "youku-search"}}}},
        {"youku-channel",
         {{"v_show/id_XNjY2NjY2NjY"}, {{"v_showlist/c85", "youku-channel-85"}}, {{"c97_page_2", "youku-channel"}}}},
        {"youku-channel-85", {{"v_show/id_XNzc3Nzc3Nzc"}, {{"v_showlist/c97", "youku-channel"}}, {}}},
        {"56-search", {{}, {{"album-aid-1234567", "56-album"}}, {{"p=2", "56-search"}}}},
        {"6cn-search", {{}, {}, {{"p=2", "6cn-search"}}}},
    };
    return pages;
}

// Writes the soak's script: navigations chosen at random (with a fixed seed), each
// followed by "settle", from a model of where the program is and what it shows.
class SoakScript {
public:
    explicit SoakScript(int navigations) {
        Add("wait-window MainWnd\nwait 300\n");
        Search(0);
        // A favourite to open later: the first page, its name made longer.
        Add("tap 336 687\nwait-window OptionMenu\nwait 400\ntap 240 563\nwait-window FavoriteEditWnd\nwait 400\n"
            "tap 200 72\ntype 2026\ntap 400 687\nwait-window FtMessageBox\nwait 300\ntap 238 423\nwait 300\n");
        m_favourite = m_page;
        while (m_navigations < navigations)
            Step(navigations - m_navigations);
        Home();
        Add("tap 60 687\nwait-window FtMessageBox\nwait 300\ntap 146 423\n");
    }
    const std::string& Text() const { return m_text; }
    // The navigations (counted from 1) that follow the link to the video in three parts:
    // each brings its play list up unless a fault came in its way.
    const std::set<int>& PlayLists() const { return m_playLists; }

private:
    void Add(const std::string& lines) { m_text += lines; }
    void Settle(const std::string& page) {
        Add("settle\n");
        ++m_navigations;
        m_page = page;
    }
    void Home() {
        if (m_inBrowser)
            Add("tap 48 687\nwait 800\n");
        m_inBrowser = false;
    }
    void Search(int provider) {
        static const char* const terms[] = {"功夫", "kungfu", "kungfu", "kungfu"};
        static const char* const pages[] = {"youku-search", "tudou-search", "56-search", "6cn-search"};
        Home();
        Add("tap 240 " + std::to_string(275 + 70 * provider) + "\ntap 449 33\ntap 200 33\ntype " + terms[provider] +
            "\ntap 240 180\n");
        m_inBrowser = true;
        Settle(pages[provider]);
    }
    void FromSideWindow(const char* button, const char* window, int row, const std::string& page) {
        Home();
        Add(std::string("tap ") + button + " 687\nwait-window " + window + "\nwait 400\ntap 240 " +
            std::to_string(row) + "\ntap 240 " + std::to_string(row) + "\n");
        m_inBrowser = true;
        Settle(page);
        Add(std::string("if-window ") + window + " tap 80 687\n");
    }
    void Link(const std::pair<const char*, const char*>& link) {
        Add(std::string("try-link ") + link.first + "\n");
        Settle(link.second);
    }
    void Step(int left) {
        auto found = Pages().find(m_page);
        const PageModel* shown = m_inBrowser && found != Pages().end() ? &found->second : nullptr;
        int kind = static_cast<int>(m_random() % 100);
        if (kind < 15 && shown && !shown->listings.empty()) {
            Link(shown->listings[m_random() % shown->listings.size()]);
        } else if (kind < 30 && shown && !shown->paged.empty()) {
            Link(shown->paged[m_random() % shown->paged.size()]);
        } else if (kind < 45 && shown && !shown->videos.empty()) {
            std::string page = m_page;
            const char* video = shown->videos[m_random() % shown->videos.size()];
            if (std::string_view(video) == "v_show/id_XMTIzNDU2Nzg")
                m_playLists.insert(m_navigations + 1);
            Link({video, ""});
            Add("if-window PlayListWnd tap 80 687\nwait 600\n");
            m_page = page;
        } else if (kind < 55 && m_inBrowser && left >= 2) {
            std::string page = m_page;
            Add("tap 144 687\n");
            Settle("");
            Add("tap 240 687\n");
            Settle(page);
        } else if (kind < 65) {
            FromSideWindow("300", "FavoriteWnd", 77, m_favourite);
        } else if (kind < 80) {
            static const std::pair<int, const char*> channels[] = {
                {147, "6cn-videos"}, {217, "youku-channel"}, {287, "youku-search"}, {497, "56-search"}};
            const auto& channel = channels[m_random() % std::size(channels)];
            FromSideWindow("180", "ChannelListWnd", channel.first, channel.second);
        } else {
            Search(static_cast<int>(m_random() % 4));
        }
    }

    std::mt19937 m_random{20261208};
    std::string m_text;
    std::string m_page, m_favourite;
    bool m_inBrowser = false;
    int m_navigations = 0;
    std::set<int> m_playLists;
};

// One "settled" line of the program's output.
struct Settled {
    int number = 0;
    std::string outcome;
    int boxes = 0;
    long residentKb = 0;
    long long at = 0;
    bool linked = true; // false when the script found no link to follow
};

struct SoakOutput {
    std::vector<Settled> settled;
    std::vector<std::string> boxTexts;
};

SoakOutput ReadOutput(const std::string& out) {
    SoakOutput output;
    std::istringstream lines(out);
    bool linked = true;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("box: ", 0) == 0) {
            output.boxTexts.push_back(line.substr(5));
        } else if (line.rfind("no link ", 0) == 0) {
            linked = false;
        } else if (line.rfind("settled ", 0) == 0) {
            Settled settled;
            std::istringstream(line.substr(8)) >> settled.number >> settled.outcome >> settled.boxes >>
                settled.residentKb >> settled.at;
            settled.linked = linked;
            output.settled.push_back(settled);
            linked = true;
        }
    }
    return output;
}

// Faults that are pages of hostile content, not failures of the network: the program may
// show what it made of them.
bool IsContentFault(const std::string& fault) { return fault == "deep" || fault == "unmatched" || fault == "option"; }

bool IsProgramMessage(const std::string& text) {
    for (const char* message : {"获取数据失败！", "页面解析失败！", "创建播放列表失败"}) {
        if (text.rfind(message, 0) == 0)
            return true;
    }
    return false;
}

std::set<std::filesystem::path> Entries(const std::filesystem::path& folder) {
    std::set<std::filesystem::path> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        entries.insert(entry.path().filename());
    return entries;
}

int SoakNavigations() {
    const char* count = std::getenv("QUILLORA_SOAK_NAVIGATIONS");
    return count && std::atoi(count) > 0 ? std::atoi(count) : 50;
}

TEST(ProgramSoak, ManyNavigationsUnderFaultsEndCleanWithEveryFaultTold) {
    const int navigations = SoakNavigations();
    TemporaryRoot root(TemporaryRoot::Image::None);
    FaultySite site;
    std::filesystem::path scratch = root.Path() / "tmp";
    std::filesystem::create_directories(scratch);
    WriteHostFile(root.Path() / "hosts", "* 127.0.0.1:" + std::to_string(site.Port()) + "\n");
    SoakScript script(navigations);
    WriteHostFile(root.Path() / "soak.script", script.Text());
    ScopedEnvironment hosts("QUILLORA_HOSTS", (root.Path() / "hosts").string());
    ScopedEnvironment temporary("TMPDIR", scratch.string());
    ScopedEnvironment connect("QUILLORA_CONNECT_TIMEOUT_MS", "1000");
    ScopedEnvironment receive("QUILLORA_RECEIVE_TIMEOUT_MS", "1000");
    ScopedEnvironment total("QUILLORA_REQUEST_TIMEOUT_MS", "2000");
    std::set<std::filesystem::path> before = Entries(root.Path());

    auto started = std::chrono::steady_clock::now();
    Program soak(
        {"--headless", "--root", (root.Path() / "device").string(), "--script", (root.Path() / "soak.script").string()},
        root.Path(), "soak");
    const auto bound = std::chrono::seconds(120 + 4 * navigations);
    ASSERT_EQ(soak.Wait(bound), 0) << soak.Err();
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    SoakOutput output = ReadOutput(soak.Out());
    ASSERT_EQ(static_cast<int>(output.settled.size()), navigations) << soak.Err();
    int followed = static_cast<int>(
        std::count_if(output.settled.begin(), output.settled.end(), [](const Settled& s) { return s.linked; }));
    EXPECT_GE(followed * 10, navigations * 8) << "most of the links the script expected were there";
    for (const std::string& text : output.boxTexts)
        EXPECT_TRUE(IsProgramMessage(text)) << text;

    // Each fault of the network, dealt while a navigation was under way, was told in it.
    std::vector<FaultySite::Dealt> faults = site.Faults();
    std::set<int> faulted;
    for (const FaultySite::Dealt& fault : faults) {
        auto ended = std::find_if(output.settled.begin(), output.settled.end(),
                                  [&](const Settled& s) { return s.at >= fault.at; });
        if (ended == output.settled.end())
            continue;
        faulted.insert(ended->number);
        if (!IsContentFault(fault.fault)) {
            EXPECT_GT(ended->boxes, 0) << "the " << fault.fault << " fault in navigation " << ended->number;
        }
    }
    // The video in three parts brought its play list up wherever no fault came between.
    int playLists = 0;
    for (int number : script.PlayLists()) {
        const Settled& settled = output.settled.at(number - 1);
        if (!settled.linked || faulted.count(number))
            continue;
        EXPECT_EQ(settled.outcome, "play-list") << "navigation " << number;
        ++playLists;
    }

    EXPECT_TRUE(std::filesystem::is_empty(root.Path() / "device/Quillora/Temp")) << "the pages go with the program";
    std::set<std::filesystem::path> after = Entries(root.Path());
    for (const char* own : {"soak.out", "soak.err", "device"})
        after.erase(own);
    EXPECT_EQ(after, before) << "nothing written beside the device root";
    EXPECT_TRUE(std::filesystem::is_empty(scratch)) << "nothing left in the temporary folder";

    // The resident size swings by a few megabytes from one navigation to the next (pages
    // and their pictures come and go): the highest of the last hundred against the
    // highest of the hundred before.
    auto highest = [&](int from, int to) {
        long most = 0;
        for (int i = std::max(from, 0); i < to; ++i)
            most = std::max(most, output.settled[i].residentKb);
        return most;
    };
    long first = output.settled.front().residentKb, last = output.settled.back().residentKb;
    long lastHundred = navigations >= 200
                           ? highest(navigations - 100, navigations) - highest(navigations - 200, navigations - 100)
                           : 0;
    if (navigations >= 200 && MemoryFiguresMeanSomething) {
        EXPECT_LT(lastHundred, 2048) << "the last hundred navigations took more memory than the hundred before";
    }
    std::printf("soak: %d navigations (%d links followed, %d play lists) in %.1f s, %d requests, %zu faults, %zu "
                "boxes; resident %ld KiB after the first, %ld KiB after the last, %+ld KiB more at the peak of the "
                "last hundred\n",
                navigations, followed, playLists, took, site.Requests(), faults.size(), output.boxTexts.size(), first,
                last, lastHundred);
    if (::testing::Test::HasFailure()) {
        std::string out = soak.Out();
        std::printf("the program's output, last part:\n%s\n",
                    out.substr(out.size() - std::min<std::size_t>(out.size(), 4000)).c_str());
    }
}

} // namespace
