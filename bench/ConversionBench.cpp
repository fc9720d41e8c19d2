// ReplaceAll against one find pass over the same block, and one youku search
// conversion of a 200 KB page (conversion to GBK, parse, walk, write) against
// htmlcxx's parse of the same page.

#include "BenchPages.h"

#include "convert/ConverterPrimitives.h"
#include "convert/FiveSixPages.h"
#include "convert/PagedListing.h"
#include "convert/SixCnPages.h"
#include "convert/TudouPages.h"
#include "convert/UrlClassifier.h"
#include "convert/YoukuPages.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/base/Utf8.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/fs/FileApi.h"
#include "platform/fs/WholeFile.h"
#include "settings/ProgramFolder.h"

#include <benchmark/benchmark.h>
#include <htmlcxx/html/ParserDom.h>

#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// 200 KB of page text holding 1,000 target attributes.
std::string BlockWithTargets() {
    std::string block;
    for (int i = 0; i < 1000; ++i) {
        block += "<li><a href=\"http://v.youku.com/v_show/id_" + std::to_string(i) + ".html\" target=\"video\">";
        block.append(200 - 60, 'x');
        block += "</a></li>";
    }
    while (block.size() < 200 * 1024)
        block += "<p>filler text without the attribute</p>";
    return block;
}

void FindPass(benchmark::State& state) {
    const std::string block = BlockWithTargets();
    for (auto _ : state) {
        std::size_t count = 0;
        for (std::size_t at = block.find("target="); at != std::string::npos; at = block.find("target=", at + 7))
            ++count;
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(FindPass);

void ReplaceAllTargets(benchmark::State& state) {
    const std::string block = BlockWithTargets();
    for (auto _ : state) {
        std::string text = block;
        ReplaceAll(text, "target=", "tag=");
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(ReplaceAllTargets);

void CopyBlock(benchmark::State& state) {
    const std::string block = BlockWithTargets();
    for (auto _ : state) {
        std::string text = block;
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(CopyBlock);

// A tudou play list of about 200 KB (GBK bytes as downloaded; ASCII here).
// 2,000 result blocks nested in each other around 1 MB: each holds all that follow.
std::string NestedBlocksPage() {
    std::string page = "<html><body>";
    for (int i = 0; i < 2000; ++i)
        page += "<div id=\"detail\">";
    page += std::string(1 << 20, 'x');
    for (int i = 0; i < 2000; ++i)
        page += "</div>";
    return page + "</body></html>";
}

std::string TudouPlaylistPage() {
    std::string page = "<html><body><ul><li class=\"lstTitle\"><h2>list</h2></li></ul><div id=\"clipList\">";
    for (int i = 0; page.size() < 200 * 1024; ++i)
        page += "<div class=\"pack_clip\"><div class=\"pic\"><a href=\"http://www.tudou.com/programs/view/" +
                std::to_string(i) + "/\" target=\"new\"><img alt=\"http://i01.img.tudou.com/" + std::to_string(i) +
                ".jpg\" /></a></div><div class=\"txt\"><a href=\"http://www.tudou.com/programs/view/" +
                std::to_string(i) + "/\" target=\"new\">clip " + std::to_string(i) + "</a></div></div>";
    return page + "</div></body></html>";
}

// A 56 index search of about 200 KB.
std::string FiveSixSearchPage() {
    std::string page =
        "<html><body><div class=\"search_list\"><div class=\"sort\"><a href=\"?key=a\">new</a></div><ul>";
    for (int i = 0; page.size() < 200 * 1024; ++i)
        page += "<li><a href=\"http://www.56.com/u11/v_" + std::to_string(i) + ".html\" target=\"_blank\"><img src=\"" +
                "http://img.56.com/" + std::to_string(i) + ".jpg\" /></a><a href=\"?key=a&amp;p=" + std::to_string(i) +
                "\">video " + std::to_string(i) + "</a></li>";
    return page + "</ul></div></body></html>";
}

// 56 album data of about 200 KB.
std::string FiveSixAlbumData() {
    std::string data = "albumV2.callback({\"video_list\":[";
    for (int i = 0; data.size() < 200 * 1024; ++i)
        data += "{\"video_id\":\"V" + std::to_string(i) + "\",\"video_title\":\"title " + std::to_string(i) +
                "\",\"video_cover\":\"http://img.56.com/" + std::to_string(i) +
                ".jpg\",\"video_author\":\"author\",\"add_time\":\"1262304000\"},";
    return data + "{}]})\n";
}

// A 6cn search page of about 200 KB, in UTF-8 as it is downloaded.
std::string SixCnSearchPage() {
    std::string page = "<html><body><div class=\"aboxHeader\">搜索</div><div class=\"aboxContentLeft\">"
                       "<script>var a = 1;</script><ul>";
    for (int i = 0; page.size() < 200 * 1024; ++i)
        page += "<li><a href=\"/watch/" + std::to_string(i) + ".html\" target=\"_blank\">功夫视频 " +
                std::to_string(i) + "</a></li>";
    return page + "</ul></div><div class=\"pageList\"><a href=\"?p=2\">2</a></div></body></html>";
}

struct BenchRoot {
    BenchRoot()
        : path(std::filesystem::temp_directory_path() / ("quillora-bench-convert-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path / "Quillora");
        platform::MountDeviceRoot(path);
        CreateProgramFolders();
    }
    ~BenchRoot() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

// The one device root of the conversion and listing benchmarks.
const BenchRoot& TheBenchRoot() {
    static BenchRoot root;
    return root;
}

void Parse(benchmark::State& state, const std::string& page) {
    for (auto _ : state) {
        htmlcxx::HTML::ParserDom parser;
        benchmark::DoNotOptimize(parser.parseTree(page).size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

// Everything after the download: code-page step by tag, parse, walk, patches, writing.
void Convert(benchmark::State& state, const std::string& page, const ProviderId& provider,
             NavigationRequest::FetchMode mode, bool (*build)(NavigationRequest&)) {
    TheBenchRoot();
    for (auto _ : state) {
        ScriptedCoreUi ui;
        NavigationRequest request(ui);
        request.SetProvider(provider);
        request.AcceptPage(page, mode);
        build(request);
        state.PauseTiming();
        for (std::size_t n = 1; DeleteFileW(PagePath(request.OutputPath(), n).c_str()); ++n) {
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

bool BuildAlbum(NavigationRequest& request) {
    return BuildFiveSixAlbum(request, AlbumAddressOf(L"http://www.56.com/w11/album-aid-1.html"));
}

const auto ParseMode = NavigationRequest::FetchMode::Parse;
const auto DownloadMode = NavigationRequest::FetchMode::DownloadOnly;

BENCHMARK_CAPTURE(Parse, youku_search, SearchPage());
BENCHMARK_CAPTURE(Convert, youku_search, SearchPage(), Provider::Youku, ParseMode, &BuildYoukuVideoSearch);
BENCHMARK_CAPTURE(Parse, tudou_playlist, TudouPlaylistPage());
BENCHMARK_CAPTURE(Convert, tudou_playlist, TudouPlaylistPage(), Provider::Tudou, ParseMode, &BuildTudouPlaylist);
BENCHMARK_CAPTURE(Parse, nested_blocks, NestedBlocksPage());
BENCHMARK_CAPTURE(Convert, nested_blocks, NestedBlocksPage(), Provider::Youku, ParseMode, &BuildYoukuVideoSearch);
BENCHMARK_CAPTURE(Parse, fivesix_search, FiveSixSearchPage());
BENCHMARK_CAPTURE(Convert, fivesix_search, FiveSixSearchPage(), Provider::FiveSix, ParseMode, &BuildFiveSixIndexSearch);
BENCHMARK_CAPTURE(Parse, fivesix_album_data, FiveSixAlbumData());
BENCHMARK_CAPTURE(Convert, fivesix_album, FiveSixAlbumData(), Provider::FiveSix, DownloadMode, &BuildAlbum);
BENCHMARK_CAPTURE(Parse, sixcn_search, SixCnSearchPage());
BENCHMARK_CAPTURE(Convert, sixcn_search, SixCnSearchPage(), Provider::SixCn, ParseMode, &BuildSixCnSearch);

// A paged listing of Pages pages written into a \\Temp that holds 500 pages of earlier
// navigations, against the same bytes written to as many files with plain stdio.
constexpr int ListingPages = 20;
constexpr int EarlierPages = 500;

std::string CurrentEntry(std::size_t page) { return "<li class='current'>" + std::to_string(page) + "</li>"; }

std::vector<std::string> ListingItems() {
    std::vector<std::string> items;
    for (std::size_t i = 0; i < ListingPages * ItemsPerPage; ++i)
        items.push_back("<li><a href='http://v.youku.com/v_show/id_" + std::to_string(i) +
                        ".html'><img src='http://g1.ykimg.com/" + std::to_string(i) + ".jpg'/>功夫熊猫 第" +
                        std::to_string(i) + "集</a></li>");
    return items;
}

// The device root's \\Temp with the earlier pages in it.
std::filesystem::path TempWithEarlierPages() {
    std::filesystem::path temp = TheBenchRoot().path / "Quillora" / "Temp";
    for (int i = 0; i < EarlierPages; ++i)
        std::ofstream(temp / ("earlier" + std::to_string(i) + ".html")) << "<html></html>";
    return temp;
}

void WriteListing(benchmark::State& state) {
    static const std::filesystem::path temp = TempWithEarlierPages();
    const std::vector<std::string> items = ListingItems();
    for (auto _ : state) {
        state.PauseTiming();
        ScriptedCoreUi ui;
        NavigationRequest request(ui);
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            WritePagedListing(request, "<html><head></head><body>", "<h1>list</h1>", items, &CurrentEntry));
        state.PauseTiming();
        for (std::size_t n = 1; DeleteFileW(PagePath(request.OutputPath(), n).c_str()); ++n) {
        }
        state.ResumeTiming();
    }
}
BENCHMARK(WriteListing);

void WriteListingBytesWithStdio(benchmark::State& state) {
    static const std::filesystem::path temp = TempWithEarlierPages();
    // The listing's own bytes, written once through the converter and read back.
    std::vector<std::string> pages;
    {
        ScriptedCoreUi ui;
        NavigationRequest request(ui);
        WritePagedListing(request, "<html><head></head><body>", "<h1>list</h1>", ListingItems(), &CurrentEntry);
        for (std::size_t n = 1; n <= ListingPages; ++n) {
            std::wstring path = PagePath(request.OutputPath(), n);
            pages.push_back(platform::ReadFileContents(path).value_or(""));
            DeleteFileW(path.c_str());
        }
    }
    for (auto _ : state) {
        for (std::size_t n = 0; n < pages.size(); ++n) {
            std::filesystem::path file = temp / ("stdio" + std::to_string(n) + ".html");
            std::FILE* out = std::fopen(file.c_str(), "wb");
            std::fwrite(pages[n].data(), 1, pages[n].size(), out);
            std::fclose(out);
        }
        state.PauseTiming();
        for (std::size_t n = 0; n < pages.size(); ++n)
            std::filesystem::remove(temp / ("stdio" + std::to_string(n) + ".html"));
        state.ResumeTiming();
    }
}
BENCHMARK(WriteListingBytesWithStdio);

// 1,000 addresses of every kind the classifier meets, unknown ones among them.
std::vector<std::wstring> MixedAddresses() {
    const wchar_t* kinds[] = {
        L"http://so.youku.com/search_video/q_%d",
        L"http://www.youku.com/v_showlist/c%d.html",
        L"http://so.tudou.com/isearch/k%d/display_album",
        L"http://www.tudou.com/playlist/id/%d/",
        L"http://v.youku.com/v_show/id_X%d.html",
        L"http://www.56.com/w11/album-aid-%d.html",
        L"http://6.cn/watch/%d.html",
        L"http://127.0.0.1/clip%d.flv",
        L"http://www.example.com/page%d.html",
        L"http://6.cn/search.php?key=%d",
    };
    std::vector<std::wstring> addresses;
    wchar_t buffer[128];
    for (int i = 0; i < 1000; ++i) {
        std::swprintf(buffer, 128, kinds[i % 10], i);
        addresses.push_back(buffer);
    }
    return addresses;
}

void ClassifyThousandAddresses(benchmark::State& state) {
    const std::vector<std::wstring> addresses = MixedAddresses();
    for (auto _ : state) {
        int known = 0;
        for (const std::wstring& address : addresses)
            known += RouteFor(address).has_value();
        benchmark::DoNotOptimize(known);
    }
}
BENCHMARK(ClassifyThousandAddresses);

} // namespace
