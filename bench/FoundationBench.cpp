// Reading one key from a 4 KB settings file, and one 200 KB download through
// HttpSession against a bare libcurl transfer of the same address (the baseline).

#include "FixtureServer.h"
#include "fetch/HttpSession.h"
#include "platform/fs/DeviceRoot.h"
#include "settings/IniFile.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Scratch {
    Scratch() {
        path = fs::temp_directory_path() / ("quillora-bench-" + std::to_string(::getpid()));
        fs::create_directories(path);
        platform::MountDeviceRoot(path);
    }
    ~Scratch() { fs::remove_all(path); }
    fs::path path;
};

Scratch& TheScratch() {
    static Scratch scratch;
    return scratch;
}

// A settings file of about 4 KB: many sections, the key read sits in the last one.
void WriteSettings() {
    std::u16string text;
    for (int section = 0; text.size() < 2000; ++section) {
        text += u"[Section" + std::u16string(1, u'A' + section % 26) + u"]\r\n";
        for (int key = 0; key < 5; ++key)
            text += u"  Key" + std::u16string(1, u'0' + key) + u"=value\r\n";
    }
    text += u"[Player]\r\n  EnableFtVideo=1\r\n  Path=";
    std::ofstream out(TheScratch().path / "Setting.ini", std::ios::binary);
    out << "\xFF\xFE";
    for (char16_t unit : text)
        out << static_cast<char>(unit & 0xFF) << static_cast<char>(unit >> 8);
}

void IniReadOneKey(benchmark::State& state) {
    WriteSettings();
    for (auto _ : state) {
        int value = 0;
        benchmark::DoNotOptimize(IniReadInt(L"Player", L"EnableFtVideo", value, L"\\Setting.ini"));
    }
    state.counters["file bytes"] = static_cast<double>(fs::file_size(TheScratch().path / "Setting.ini"));
}
BENCHMARK(IniReadOneKey);

struct Site {
    Site() : server(QUILLORA_FIXTURE_SITES) {
        server.Start();
        address = "127.0.0.1:" + std::to_string(server.Port());
        hosts = (TheScratch().path / "hosts").string();
        std::ofstream(hosts) << "www.youku.com " << address << "\n";
        ::setenv("QUILLORA_HOSTS", hosts.c_str(), 1);
    }
    FixtureServer server;
    std::string address;
    std::string hosts;
};

Site& TheSite() {
    static Site site;
    return site;
}

std::size_t Append(char* data, std::size_t size, std::size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

// Bodies of 200 KB (a large page) and 20 MB (far above any page: growth must stay linear).
void BareCurl(benchmark::State& state) {
    auto size = static_cast<std::size_t>(state.range(0));
    std::string url = "http://www.youku.com/_fixture/size/" + std::to_string(size);
    std::string connectTo = "www.youku.com::" + TheSite().address;
    curl_slist* mapping = curl_slist_append(nullptr, connectTo.c_str());
    for (auto _ : state) {
        std::string body;
        CURL* easy = curl_easy_init();
        curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy, CURLOPT_CONNECT_TO, mapping);
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Append);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
        if (curl_easy_perform(easy) != CURLE_OK || body.size() != size)
            state.SkipWithError("bare transfer failed");
        curl_easy_cleanup(easy);
        benchmark::DoNotOptimize(body.data());
    }
    curl_slist_free_all(mapping);
}
BENCHMARK(BareCurl)->Arg(204800)->Arg(20000000)->UseRealTime();

void HttpSessionRequest(benchmark::State& state) {
    auto size = static_cast<std::size_t>(state.range(0));
    std::wstring url = L"http://www.youku.com/_fixture/size/" + std::to_wstring(size);
    TheSite();
    HttpSession session;
    for (auto _ : state) {
        const char* body = session.Request(url.c_str(), false, nullptr, -1);
        if (!body || session.BodyLength() != size)
            state.SkipWithError("request failed");
        benchmark::DoNotOptimize(body);
    }
}
BENCHMARK(HttpSessionRequest)->Arg(204800)->Arg(20000000)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
