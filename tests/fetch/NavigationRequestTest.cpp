#include "fetch/NavigationRequest.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/base/Utf8.h"
#include "platform/text/AnsiText.h"
#include "support/FixtureSite.h"
#include "support/IniBytes.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>

namespace {

using Kind = FeedbackRecord::Kind;

std::vector<Kind> Kinds(const ScriptedCoreUi& ui) {
    std::vector<Kind> kinds;
    for (const FeedbackRecord& record : ui.Records())
        kinds.push_back(record.kind);
    return kinds;
}

TEST(NavigationRequest, EachRequestHasItsOwnOutputPath) {
    TemporaryRoot root;
    ScriptedCoreUi ui;
    NavigationRequest first(ui), second(ui);
    std::wregex shape(LR"(\\Quillora\\temp\\[0-9a-f]{32}\.html)");
    EXPECT_TRUE(std::regex_match(first.OutputPath(), shape));
    EXPECT_TRUE(std::regex_match(second.OutputPath(), shape));
    EXPECT_NE(first.OutputPath(), second.OutputPath());
}

TEST(NavigationRequest, SettingsSnapshotFallsBackToDefaults) {
    TemporaryRoot root;
    ScriptedCoreUi ui;
    WriteHostFile(root.Host("Quillora/Data/Setting.ini"),
                  IniBytes(u"[Network]\r\n  FlvParseServer=1\r\n[Player]\r\n  EnableFtVideo=0"));
    {
        NavigationRequest request(ui);
        EXPECT_EQ(request.EnableFtVideo(), 0u);
        EXPECT_EQ(request.FlvParseServer(), 1u);
    }
    std::filesystem::remove(root.Host("Quillora/Data/Setting.ini"));
    NavigationRequest request(ui);
    EXPECT_EQ(request.EnableFtVideo(), 1u);
    EXPECT_EQ(request.FlvParseServer(), 0u);
}

class FetchTest : public ::testing::Test {
protected:
    FixtureSite m_site;
    ScriptedCoreUi m_ui;
};

TEST_F(FetchTest, AFailedDownloadTellsTheUserAfterClosingTheWaitDialog) {
    NavigationRequest request(m_ui);
    std::wstring refused = L"http://127.0.0.1:" + std::to_wstring(RefusedPort()) + L"/";
    EXPECT_FALSE(request.Fetch(refused, NavigationRequest::FetchMode::Parse));
    EXPECT_EQ(Kinds(m_ui), (std::vector<Kind>{Kind::ShowWait, Kind::CloseWait, Kind::MessageBox}));
    FeedbackRecord box = m_ui.Records().back();
    EXPECT_EQ(box.text, L"获取数据失败！\r\n 错误码：12029");
    EXPECT_EQ(box.caption, L"错误");
    EXPECT_EQ(box.type, MessageBoxOk);
    EXPECT_EQ(box.owner, ScriptedCoreUi::BrowserWindow());
    EXPECT_FALSE(m_ui.WaitDialogOpen());
    EXPECT_EQ(request.PageText(), "");
}

TEST_F(FetchTest, AnErrorPageIsAFailedDownloadWithItsStatus) {
    NavigationRequest request(m_ui);
    request.SetProvider(Provider::Youku);
    EXPECT_FALSE(request.Fetch(L"http://www.youku.com/_fixture/status/500", NavigationRequest::FetchMode::Parse));
    EXPECT_EQ(m_ui.Records().back().text, L"获取数据失败！\r\n 错误码：500");
    EXPECT_EQ(request.Document().size(), 0u);
}

TEST_F(FetchTest, APageNestedTooDeepFailsWithoutAWordForTheConverterToReport) {
    NavigationRequest request(m_ui);
    request.SetProvider(Provider::Tudou);
    std::string deep;
    for (std::size_t i = 0; i <= DocumentParser::MaximumDepth; ++i)
        deep += "<b>";
    EXPECT_FALSE(request.AcceptPage(deep, NavigationRequest::FetchMode::Parse));
    EXPECT_EQ(request.Document().size(), 0u);
    // One level less is a page like any other.
    deep.resize(deep.size() - 3);
    EXPECT_TRUE(request.AcceptPage(deep, NavigationRequest::FetchMode::Parse));
    EXPECT_GT(request.Document().size(), DocumentParser::MaximumDepth);
    EXPECT_TRUE(m_ui.Records().empty());

    // End tags that match nothing, under open elements well inside the depth limit: the
    // parser would search all of them for each one.
    std::string searching(3 * 1500, ' ');
    for (std::size_t i = 0; i < 1500; ++i)
        searching.replace(3 * i, 3, "<b>");
    for (int i = 0; i < 20000; ++i)
        searching += "</i>";
    EXPECT_FALSE(request.AcceptPage(searching, NavigationRequest::FetchMode::Parse));
}

TEST_F(FetchTest, ElementsLeftOpenDoNotCountAsDepthOnceTheirParentCloses) {
    // The parser leaves "<br>" open; closing the paragraph closes them all.
    std::string page = "<html><head><meta a=1><meta b=2><meta c=3></head><body>";
    for (int i = 0; i < 5000; ++i)
        page += "<p>x<br>y<br>z<img src=a.gif></p>";
    page += "</body></html>";
    NavigationRequest request(m_ui);
    request.SetProvider(Provider::Tudou);
    EXPECT_TRUE(request.AcceptPage(page, NavigationRequest::FetchMode::Parse));
    EXPECT_GT(request.Document().size(), 5000u);
}

TEST_F(FetchTest, AnEmptyAddressFailsAsAnInvalidOne) {
    NavigationRequest request(m_ui);
    EXPECT_FALSE(request.Fetch(L"", NavigationRequest::FetchMode::DownloadOnly));
    EXPECT_EQ(m_ui.Records().back().text, L"获取数据失败！\r\n 错误码：12005");
}

TEST_F(FetchTest, YoukuPagesBecomeGbkBeforeParsingButNotWhenOnlyDownloaded) {
    NavigationRequest request(m_ui);
    request.SetProvider(Provider::Youku);
    ASSERT_TRUE(request.Fetch(L"#http://www.youku.com/", NavigationRequest::FetchMode::DownloadOnly));
    EXPECT_NE(request.PageText().find("<p>首页</p>"), std::string::npos);
    EXPECT_EQ(request.Document().size(), 0u);

    ASSERT_TRUE(request.Fetch(L"http://www.youku.com/", NavigationRequest::FetchMode::Parse));
    EXPECT_NE(request.PageText().find("<p>" + platform::AnsiFromWide(L"首页") + "</p>"), std::string::npos);
    EXPECT_GT(request.Document().size(), 5u);
    EXPECT_TRUE(m_ui.WaitDialogOpen()); // the converter closes it when it has written its page
}

TEST_F(FetchTest, EachProviderIsConvertedAndParsedAsItsSiteNeeds) {
    struct Case {
        const ProviderId* provider;
        bool convertedToGbk;
        bool parsed;
    };
    const Case cases[] = {
        {&Provider::Youku, true, true},    {&Provider::SixCn, true, true},  {&Provider::Tudou, false, true},
        {&Provider::FiveSix, false, true}, {&Provider::Flvcd, false, true}, {&Provider::EightFan, false, false},
        {nullptr, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.provider ? platform::Utf8FromWide(std::wstring(c.provider->tag)) : "none");
        NavigationRequest request(m_ui);
        if (c.provider)
            request.SetProvider(*c.provider);
        ASSERT_TRUE(request.Fetch(L"http://www.youku.com/", NavigationRequest::FetchMode::Parse));
        std::string word = c.convertedToGbk ? platform::AnsiFromWide(L"首页") : "首页";
        EXPECT_NE(request.PageText().find("<p>" + word + "</p>"), std::string::npos);
        EXPECT_EQ(request.Document().size() > 5, c.parsed);
    }
}

TEST_F(FetchTest, AnEmptyBodyIsASuccess) {
    NavigationRequest request(m_ui);
    request.SetProvider(Provider::Youku);
    EXPECT_TRUE(request.Fetch(L"http://www.youku.com/_fixture/size/0", NavigationRequest::FetchMode::Parse));
    EXPECT_EQ(request.PageText(), "");
}

TEST(ScriptedCoreUi, RecordsCallsFromSeveralThreadsAndAnswersInOrder) {
    ScriptedCoreUi ui;
    ui.QueueAnswer(ResultNo);
    ui.QueueAnswer(ResultIgnore);
    EXPECT_EQ(ui.MessageBox(nullptr, L"a", L"", MessageBoxYesNo), ResultNo);
    EXPECT_EQ(ui.MessageBox(nullptr, L"b", L"", MessageBoxAbortRetryIgnore), ResultIgnore);
    EXPECT_EQ(ui.MessageBox(nullptr, L"c", L"", MessageBoxOk), ResultYes);
    ui.CloseWaitDialog();
    EXPECT_FALSE(ui.Records().back().wasOpen);

    std::vector<std::thread> workers;
    for (int i = 0; i < 4; ++i) {
        workers.emplace_back([&ui] {
            for (int j = 0; j < 50; ++j) {
                ui.ShowWaitDialog(ui.OwnerWindow(), nullptr, 1);
                ui.NoticeBox(nullptr, L"n", NoticeMilliseconds);
                ui.CloseWaitDialog();
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(ui.Records().size(), 4u + 4 * 50 * 3);
    EXPECT_EQ(DescribeFeedback(ui.Records()[0]), "message-box owner=0 caption=\"\" type=4 text=\"a\" answer=2");
}

} // namespace
