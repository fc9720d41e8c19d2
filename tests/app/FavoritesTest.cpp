// The favourites: the folder read as entries and the date they show, then the two
// windows driven by their tool bars and the list's finger reports, with the message
// boxes answered from a script and the files looked at on the host.

#include "RecordingFeedback.h"
#include "app/FavoriteEditWnd.h"
#include "app/FavoriteStore.h"
#include "app/FavoriteWnd.h"
#include "platform/window/DeviceState.h"
#include "platform/window/WindowApi.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryRoot.h"
#include "toolkit/ToolkitMessages.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

FILETIME FileTimeOf(std::uint64_t ticks) {
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

std::vector<std::wstring> SortedTitles(const std::vector<FavoriteEntry>& entries) {
    std::vector<std::wstring> titles;
    for (const FavoriteEntry& entry : entries)
        titles.push_back(entry.title);
    std::sort(titles.begin(), titles.end());
    return titles;
}

// Every file below `folder` with its bytes, by its path relative to the folder.
std::map<std::string, std::string> FilesBelow(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = ReadHostFile(entry.path());
    }
    return files;
}

TEST(FavoriteStore, EveryPlainFileIsAnEntryTitledByItsNameUpToTheLastDot) {
    TemporaryRoot root;
    ScopedEnvironment utc("TZ", "UTC");
    const fs::path folder = root.Host("Quillora/Favorite");
    EXPECT_TRUE(ListFavorites(FavoriteFolder()).empty()) << "no folder, no entries";

    for (const char* name : {"a.b.html", "noext", "clip.mp4", ".hidden.html"})
        WriteHostFile(folder / name, "page");
    fs::create_directories(folder / "folder.html");
    // 2010-03-07 01:05:09 UTC, the time this platform gives as the file's creation.
    const timespec stored[2] = {{1267923909, 0}, {1267923909, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (folder / "a.b.html").c_str(), stored, 0), 0);

    const LANGID language = GetUserDefaultUILanguage();
    platform::SetUserInterfaceLanguage(0x0804);
    std::vector<FavoriteEntry> entries = ListFavorites(FavoriteFolder());
    platform::SetUserInterfaceLanguage(language);
    EXPECT_EQ(SortedTitles(entries), (std::vector<std::wstring>{L"a.b", L"clip", L"noext"}));
    auto dotted = std::find_if(entries.begin(), entries.end(), [](const auto& entry) { return entry.title == L"a.b"; });
    ASSERT_TRUE(dotted != entries.end());
    EXPECT_EQ(dotted->path, L"\\Quillora\\Favorite\\a.b.html");
    EXPECT_EQ(dotted->dateText, L"2010年03月07日 01:05");
}

TEST(FavoriteStore, TheDateIsTheLocalCreationTimeInThePatternOfTheLanguage) {
    const LANGID language = GetUserDefaultUILanguage();
    const FILETIME march = FileTimeOf(129123975090000000ULL);       // 2010-03-07 01:05:09 UTC
    const FILETIME newYearsEve = FileTimeOf(129383010000000000ULL); // 2010-12-31 20:30:00 UTC
    {
        ScopedEnvironment beijing("TZ", "CST-8");
        platform::SetUserInterfaceLanguage(0x0804);
        EXPECT_EQ(FavoriteDateText(march), L"2010年03月07日 09:05");
        EXPECT_EQ(FavoriteDateText(newYearsEve), L"2011年01月01日 04:30") << "the local day, month and year";
    }
    ScopedEnvironment newYork("TZ", "EST5");
    platform::SetUserInterfaceLanguage(0x0409);
    EXPECT_EQ(FavoriteDateText(march), L"2010-03-06 20:05");
    platform::SetUserInterfaceLanguage(0x0407);
    EXPECT_EQ(FavoriteDateText(newYearsEve), L"2010-12-31 15:30");
    EXPECT_EQ(FavoriteDateText(FileTimeOf(0x8000000000000000ULL)), L"") << "no time, no text";
    platform::SetUserInterfaceLanguage(language);
}

class ProbedFavoriteWnd : public FavoriteWnd {
public:
    UINT operation = CancelCommand;
    int edits = 0;

protected:
    UINT ChooseOperation() override { return operation; }
    int EditFavorite(const FavoriteEntry&) override {
        ++edits;
        return FavoriteEditWnd::ResultCancelled;
    }
};

class FavoritesWindowTest : public ::testing::Test {
protected:
    static constexpr int RowHeight = 70;
    static inline const std::string PageBytes = "<html>converted</html>";

    void SetUp() override {
        fs::create_directories(Folder());
        WriteHostFile(root.Host("Quillora/Temp/page.html"), PageBytes);
    }
    // The posts of windows gone (an ended modal loop's wake-up) are not left to the next test.
    void TearDown() override {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    fs::path Folder() const { return root.Host("Quillora/Favorite"); }
    template <class Window> void Open(Window& window) {
        window.SetFeedback(&feedback);
        ASSERT_TRUE(window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0));
    }
    static void Confirm(FavoriteEditWnd& window) {
        window.OnFtCommand(FavoriteEditWnd::ToolbarId, FavoriteEditWnd::ConfirmButton);
    }
    static void Press(FavoriteWnd& window, int button) { window.OnFtCommand(FavoriteWnd::ToolbarId, button); }
    // The list's report of a finger event at `y` in its own co-ordinates.
    static void ListReport(FavoriteWnd& window, int event, int y) {
        SendMessageW(window.GetHwnd(), WM_FT_MOUSE, FavoriteWnd::ListId | (static_cast<WPARAM>(event) << 16),
                     MAKELPARAM(100, y));
    }
    // The middle of the row showing `title` (the folder's order is the file system's).
    static int RowMiddle(const FavoriteWnd& window, const std::wstring& title) {
        const std::vector<FavoriteEntry>& entries = window.Entries();
        auto found =
            std::find_if(entries.begin(), entries.end(), [&](const auto& entry) { return entry.title == title; });
        EXPECT_TRUE(found != entries.end()) << title;
        return static_cast<int>(found - entries.begin()) * RowHeight + RowHeight / 2;
    }
    static bool OperationsOffered(FavoriteWnd& window) {
        bool operations = window.Toolbar().IsButtonEnabled(FavoriteWnd::OperationsButton);
        EXPECT_EQ(operations, window.Toolbar().IsButtonEnabled(FavoriteWnd::OpenButton)) << "the two go together";
        return operations;
    }

    TemporaryRoot root;
    RecordingFeedback feedback;
};

TEST_F(FavoritesWindowTest, AddingUnderATakenNameReplacesItOnlyOnYes) {
    WriteHostFile(Folder() / "功夫.html", "older favourite");
    FavoriteEditWnd window(FavoriteEditMode::Add, L"功夫", L"\\Quillora\\Temp\\page.html");
    Open(window);

    feedback.answers = {ResultNo};
    Confirm(window);
    EXPECT_EQ(feedback.boxes, (std::vector<std::wstring>{L"文件已存在，是否覆盖？ / 提示 / 4"}));
    EXPECT_EQ(window.Result(), 0) << "the window stays open";
    EXPECT_STREQ(window.NameBox().GetText(), L"功夫");
    EXPECT_EQ(ReadHostFile(Folder() / "功夫.html"), "older favourite");

    Confirm(window);
    EXPECT_EQ(feedback.boxes.size(), 2u);
    EXPECT_EQ(window.Result(), FavoriteEditWnd::ResultStored);
    EXPECT_EQ(ReadHostFile(Folder() / "功夫.html"), PageBytes);
    EXPECT_EQ(ReadHostFile(root.Host("Quillora/Temp/page.html")), PageBytes) << "the page stays where it was";
}

// Before any page was converted there is nothing to copy: even a yes stores nothing, and
// the window says so instead of ending as saved.
TEST_F(FavoritesWindowTest, AnAddWithNoPageToCopyIsToldAndStaysOpen) {
    FavoriteEditWnd window(FavoriteEditMode::Add, L"功夫", L"");
    Open(window);
    feedback.answers = {ResultYes, ResultYes};
    Confirm(window);
    EXPECT_EQ(feedback.boxes,
              (std::vector<std::wstring>{L"文件已存在，是否覆盖？ / 提示 / 4", L"保存失败！ / 错误 / 0"}));
    EXPECT_EQ(window.Result(), 0);
    EXPECT_TRUE(FilesBelow(Folder()).empty());
}

TEST_F(FavoritesWindowTest, RenamingOntoATakenNameFailsSilentlyAndTheWindowStays) {
    WriteHostFile(Folder() / "a.html", "A");
    WriteHostFile(Folder() / "b.html", "B");
    FavoriteEditWnd window(FavoriteEditMode::Edit, L"a", L"\\Quillora\\Favorite\\a.html");
    Open(window);

    window.NameBox().SetText(L"b");
    Confirm(window);
    EXPECT_TRUE(feedback.boxes.empty());
    EXPECT_EQ(window.Result(), 0);
    EXPECT_EQ(FilesBelow(Folder()), (std::map<std::string, std::string>{{"a.html", "A"}, {"b.html", "B"}}));

    window.NameBox().SetText(L"c");
    Confirm(window);
    EXPECT_EQ(window.Result(), FavoriteEditWnd::ResultStored);
    EXPECT_EQ(FilesBelow(Folder()), (std::map<std::string, std::string>{{"b.html", "B"}, {"c.html", "A"}}));
}

// The script answers yes to everything: a name let through would be stored, wherever it
// leads. Blanks are no reason to refuse.
TEST_F(FavoritesWindowTest, ARefusedNameIsToldWritesNothingAndStaysToBeMended) {
    const std::wstring characters = L"名称不能包含下列字符：\\ / : * ? \" < > | / 提示 / 0";
    const std::wstring dot = L"名称不能以“.”开头！ / 提示 / 0";
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {L"..\\Data\\youku", characters},
        {L"..\\Temp\\page", characters},
        {L"sub/page", characters},
        {L"a:b", characters},
        {L"*", characters},
        {L"why?", characters},
        {L"say \"hi\"", characters},
        {L"<b>", characters},
        {L"a|b", characters},
        {L".hidden", dot},
        {L"..", dot},
        {L"", L"请输入名称！ / 提示 / 0"},
    };
    WriteHostFile(Folder() / "old.html", "old");
    const auto before = FilesBelow(root.Host("Quillora"));
    for (FavoriteEditMode mode : {FavoriteEditMode::Add, FavoriteEditMode::Edit}) {
        FavoriteEditWnd window(mode, L"old",
                               mode == FavoriteEditMode::Add ? L"\\Quillora\\Temp\\page.html"
                                                             : L"\\Quillora\\Favorite\\old.html");
        Open(window);
        for (const auto& [name, box] : cases) {
            feedback.boxes.clear();
            window.NameBox().SetText(name);
            Confirm(window);
            EXPECT_EQ(feedback.boxes, std::vector<std::wstring>{box}) << name;
            EXPECT_EQ(window.Result(), 0) << name;
            EXPECT_STREQ(window.NameBox().GetText(), name);
        }
    }
    EXPECT_EQ(FilesBelow(root.Host("Quillora")), before);

    FavoriteEditWnd window(FavoriteEditMode::Add, L"", L"\\Quillora\\Temp\\page.html");
    Open(window);
    window.NameBox().SetText(L" a b ");
    Confirm(window);
    EXPECT_EQ(window.Result(), FavoriteEditWnd::ResultStored);
    EXPECT_EQ(ReadHostFile(Folder() / " a b .html"), PageBytes);
}

TEST_F(FavoritesWindowTest, ARowIsChosenAsTheFingerComesDownAndGivenUpAsItMoves) {
    for (const char* name : {"a.b.html", "noext", ".hidden"})
        WriteHostFile(Folder() / name, "page");
    ProbedFavoriteWnd window;
    Open(window);
    EXPECT_EQ(SortedTitles(window.Entries()), (std::vector<std::wstring>{L"a.b", L"noext"}));
    EXPECT_FALSE(OperationsOffered(window));

    ListReport(window, FtMouseDown, RowMiddle(window, L"noext"));
    EXPECT_EQ(window.List().GetSelectedIndex(), RowMiddle(window, L"noext") / RowHeight);
    EXPECT_EQ(window.ResultPath(), L"\\Quillora\\Favorite\\noext");
    EXPECT_TRUE(OperationsOffered(window));

    ListReport(window, FtMouseMove, RowMiddle(window, L"noext") + 30);
    EXPECT_EQ(window.List().GetSelectedIndex(), -1);
    EXPECT_EQ(window.ResultPath(), L"");
    EXPECT_FALSE(OperationsOffered(window));

    // Beside the rows the choice goes and the path stays: a double tap there opens it.
    ListReport(window, FtMouseDown, RowMiddle(window, L"noext"));
    ListReport(window, FtMouseDown, 5 * RowHeight);
    EXPECT_EQ(window.List().GetSelectedIndex(), -1);
    EXPECT_FALSE(OperationsOffered(window));
    EXPECT_EQ(window.Result(), 0);
    ListReport(window, FtMouseDoubleClick, 5 * RowHeight);
    EXPECT_EQ(window.Result(), FavoriteWnd::ResultOpen);
    EXPECT_EQ(window.ResultPath(), L"\\Quillora\\Favorite\\noext");
}

TEST_F(FavoritesWindowTest, DeletingNeedsAChosenRowAndAYes) {
    WriteHostFile(Folder() / "x.html", "X");
    WriteHostFile(Folder() / "y.html", "Y");
    ProbedFavoriteWnd window;
    Open(window);

    window.operation = FavoriteWnd::DeleteCommand;
    Press(window, FavoriteWnd::OperationsButton);
    EXPECT_EQ(feedback.boxes, (std::vector<std::wstring>{L"请选择您要删除的收藏项！ / 提醒 / 0"}));
    window.operation = FavoriteWnd::EditCommand;
    Press(window, FavoriteWnd::OperationsButton);
    EXPECT_EQ(window.edits, 0) << "nothing chosen, nothing to edit";

    ListReport(window, FtMouseDown, RowMiddle(window, L"x"));
    window.operation = FavoriteWnd::DeleteCommand;
    feedback.answers = {ResultNo};
    Press(window, FavoriteWnd::OperationsButton);
    EXPECT_EQ(feedback.boxes.back(), L"您确认要删除吗？ / 提醒 / 4");
    EXPECT_TRUE(fs::exists(Folder() / "x.html"));
    EXPECT_TRUE(OperationsOffered(window)) << "the row stays chosen";

    Press(window, FavoriteWnd::OperationsButton);
    EXPECT_EQ(feedback.boxes.size(), 3u);
    EXPECT_FALSE(fs::exists(Folder() / "x.html"));
    EXPECT_EQ(SortedTitles(window.Entries()), (std::vector<std::wstring>{L"y"}));
    EXPECT_EQ(window.List().GetItemCount(), 1);
    EXPECT_FALSE(OperationsOffered(window));
    EXPECT_EQ(window.Result(), 0);
}

} // namespace
