// ReplaceAll against one find pass over the same block, and one youku search
// conversion of a 200 KB page (conversion to GBK, parse, walk, write) against
// htmlcxx's parse of the same page.

#include "convert/ConverterPrimitives.h"
#include "convert/YoukuPages.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/fs/FileApi.h"
#include "settings/ProgramFolder.h"

#include <benchmark/benchmark.h>
#include <htmlcxx/html/ParserDom.h>

#include <filesystem>
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

// A video search page of about 200 KB, in UTF-8 as it is downloaded.
std::string SearchPage() {
    std::string page = "<html><head><title>搜索</title></head><body><ul class=\"tabs\"><li>视频</li></ul>"
                       "<div class=\"searchHead\">找到相关视频</div><div id=\"detail\"><ul>";
    for (int i = 0; page.size() < 200 * 1024; ++i)
        page += "<li class=\"v\"><div class=\"vThumb\"><a href=\"http://v.youku.com/v_show/id_" + std::to_string(i) +
                ".html\" target=\"video\"><img src=\"http://g1.ykimg.com/" + std::to_string(i) +
                ".jpg\" /></a></div><div class=\"vTitle\">功夫熊猫 第" + std::to_string(i) +
                "集</div><div style=\"display:none\">更多</div></li>";
    return page + "</ul></div><div class=\"LPageBar\"><a href=\"/search_video/q_x_page_2\">2</a></div></body></html>";
}

void HtmlcxxParse(benchmark::State& state) {
    const std::string page = SearchPage();
    for (auto _ : state) {
        htmlcxx::HTML::ParserDom parser;
        benchmark::DoNotOptimize(parser.parseTree(page).size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(HtmlcxxParse);

void YoukuSearchConversion(benchmark::State& state) {
    auto root = std::filesystem::temp_directory_path() / ("quillora-bench-convert-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "Quillora");
    platform::MountDeviceRoot(root);
    CreateProgramFolders();
    const std::string page = SearchPage();
    for (auto _ : state) {
        ScriptedCoreUi ui;
        NavigationRequest request(ui);
        request.SetProviderTag(L"youku");
        request.AcceptPage(page, NavigationRequest::FetchMode::Parse);
        BuildYoukuVideoSearch(request);
        state.PauseTiming();
        DeleteFileW(request.OutputPath().c_str());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
    std::filesystem::remove_all(root);
}
BENCHMARK(YoukuSearchConversion);

} // namespace
