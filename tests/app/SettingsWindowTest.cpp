// The browser cache and the settings window: the size and its text, the two cleanings and
// what they must never touch, the window driven by its rows and tool bar with its menu,
// dialogs and network window answered from a script, and the file dialog's own window.
// The files and the registry are looked at on the host afterwards.

#include "app/BrowserCache.h"
#include "app/FileDialog.h"
#include "app/FileDialogWnd.h"
#include "app/SettingWnd.h"
#include "platform/com/ComPointer.h"
#include "platform/window/WindowApi.h"
#include "settings/IniFile.h"
#include "support/IniBytes.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Every entry below `folder` by its relative path: a file's bytes, "/" for a folder and
// "-> target" for a link, which is never followed.
std::map<std::string, std::string> Tree(const fs::path& folder) {
    std::map<std::string, std::string> tree;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        std::string name = fs::relative(entry.path(), folder).generic_string();
        if (entry.is_symlink())
            tree[name] = "-> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            tree[name] = "/";
        else
            tree[name] = ReadHostFile(entry.path());
    }
    return tree;
}

std::wstring SettingsFile() { return L"\\Quillora\\Data\\Setting.ini"; }

class ScriptedFeedback : public FeedbackCalls {
public:
    int MessageBox(HWND, const std::wstring& text, const std::wstring& caption, UINT type, int) override {
        boxes.push_back(text + L" / " + caption + L" / " + std::to_wstring(type));
        return ResultYes;
    }
    int NoticeBox(HWND, const std::wstring&, DWORD) override { return 1; }
    void ShowWaitDialog(HWND, const RECT*, int) override { busy.push_back("wait shown"); }
    void CloseWaitDialog() override { busy.push_back("wait closed"); }
    void ShowProgressDialog(ProgressDescriptor&, HWND) override {}
    void CloseProgressDialog(ProgressDescriptor&) override {}

    std::vector<std::wstring> boxes;
    std::vector<std::string> busy;
};

// The menu, the two dialogs and the network window, answered from the test.
class ProbedSettingWnd : public SettingWnd {
public:
    UINT cacheCommand = CancelCommand;
    // What the dialogs hand back; empty: the user cancelled.
    std::wstring file, folder;
    // The network window: its modal result; null: cancelled.
    std::function<int()> network;

protected:
    int RunNetworkWindow() override { return network ? network() : ResultCancelled; }
    UINT ChooseCacheCommand() override { return cacheCommand; }
    bool ChooseFile(std::wstring& path) override {
        path = file;
        return !file.empty();
    }
    bool ChooseFolder(std::wstring& chosen) override {
        chosen = folder;
        return !folder.empty();
    }
};

TEST(CacheSize, TheTextChangesItsUnitAtEachPowerOf1024) {
    const std::pair<std::uint64_t, const wchar_t*> cases[] = {
        {0, L"0 B"},           {1023, L"1023 B"},  {1024, L"1 KB"},
        {1048575, L"1023 KB"}, {1048576, L"1 MB"}, {(std::uint64_t{5} << 30) + 1, L"5120 MB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(CacheSizeText(bytes), text) << bytes;
}

// A file of 4 GiB or more has a high half in its find data: the low half alone would make
// 4 GiB and 5 bytes read as 5 B.
TEST(CacheSize, EveryFileBelowTheFolderCountsWhole) {
    TemporaryRoot root;
    WriteHostFile(root.Host("Cache/a.bin"), std::string(1000, 'a'));
    WriteHostFile(root.Host("Cache/sub/b.bin"), std::string(23, 'b'));
    fs::create_directories(root.Host("Cache/sub/empty"));
    EXPECT_EQ(CacheSize(L"\\Cache"), 1023u);
    EXPECT_EQ(CacheSize(L"\\cache\\"), 1023u) << "the device's names ignore case";
    EXPECT_EQ(CacheSize(L"\\Missing"), 0u);

    const fs::path big = root.Host("Big/huge.bin");
    fs::create_directories(big.parent_path());
    std::ofstream{big}.close();
    fs::resize_file(big, (std::uint64_t{4} << 30) + 5); // sparse: no disk is spent
    EXPECT_EQ(CacheSize(L"\\Big"), (std::uint64_t{4} << 30) + 5);
    EXPECT_EQ(CacheSizeText(CacheSize(L"\\Big")), L"4096 MB");
}

TEST(CacheCleaning, TheExitEmptiesTheCacheFolderButKeepsItAndOnlyWhenAskedTo) {
    TemporaryRoot root;
    ScriptedFeedback feedback;
    WriteHostFile(root.Host("Cache/index.dat"), "i");
    WriteHostFile(root.Host("Cache/Content.IE5/AB12/page.htm"), "p");
    const auto before = Tree(root.Host("Cache"));

    ASSERT_TRUE(IniWriteInt(L"Browser", L"IsCache", 0, SettingsFile().c_str()));
    EXPECT_FALSE(CleanCacheAtExit(nullptr, feedback, L"\\Cache"));
    EXPECT_EQ(Tree(root.Host("Cache")), before);
    EXPECT_TRUE(feedback.busy.empty());

    ASSERT_TRUE(IniWriteInt(L"Browser", L"IsCache", 1, SettingsFile().c_str()));
    EXPECT_TRUE(CleanCacheAtExit(nullptr, feedback, L"\\Cache"));
    EXPECT_TRUE(fs::is_directory(root.Host("Cache")));
    EXPECT_TRUE(Tree(root.Host("Cache")).empty());
    EXPECT_EQ(feedback.busy, (std::vector<std::string>{"wait shown", "wait closed"}));
}

// The cache folder is the user's to choose and an empty registry value names the root: a
// cleaning there would take the device's system, the program and the favourites with it.
TEST(CacheCleaning, TheSystemAndProgramFoldersAndThoseAboveThemAreNeverCleaned) {
    TemporaryRoot root;
    ScriptedFeedback feedback;
    WriteHostFile(root.Host("Quillora/Favorite/film.html"), "favourite");
    WriteHostFile(root.Host("Windows/Profiles/guest/Temporary Internet Files/Content.IE5/AB12/page.htm"), "p");
    fs::create_directory_symlink(root.Host("Quillora"), root.Host("Alias"));
    const auto before = Tree(root.Path());

    for (const wchar_t* folder :
         {L"", L"\\", L"/", L"\\Windows", L"\\windows\\", L"\\Quillora", L"\\QUILLORA\\Data", L"\\Quillora\\Favorite",
          L"\\Quillora\\Temp\\..", L"\\Windows\\Profiles\\..\\..", L"\\Alias", L"\\Alias\\Data"}) {
        CacheCleaning cleaning = CleanCacheFolder(folder);
        EXPECT_TRUE(cleaning.refused) << folder;
        EXPECT_TRUE(cleaning.removed.empty()) << folder;
        CleanCacheAtExit(nullptr, feedback, folder);
    }
    EXPECT_EQ(Tree(root.Path()), before);

    // Their sub-folders stay allowed: the default cache folder lies under \Windows.
    EXPECT_FALSE(IsRefusedCacheRoot(DefaultCacheFolder));
    CacheCleaning cleaning = CleanCacheFolder(L"\\Windows\\Profiles\\guest\\Temporary Internet Files");
    EXPECT_FALSE(cleaning.refused);
    EXPECT_TRUE(Tree(root.Host("Windows/Profiles/guest/Temporary Internet Files")).empty());
    EXPECT_EQ(ReadHostFile(root.Host("Quillora/Favorite/film.html")), "favourite");
}

// Followed, the link to a folder would empty that folder, and the one back up would have
// the walk go round.
TEST(CacheCleaning, ALinkInTheCacheGoesItselfAndWhatItLeadsToStaysWhole) {
    TemporaryRoot root;
    WriteHostFile(root.Host("Keep/k1.txt"), "k1");
    WriteHostFile(root.Host("Keep/sub/k2.txt"), "k2");
    WriteHostFile(root.Host("Cache/real.txt"), "rrrr");
    fs::create_directories(root.Host("Cache/Sub"));
    fs::create_directory_symlink(root.Host("Keep"), root.Host("Cache/folderLink"));
    fs::create_symlink(root.Host("Keep/k1.txt"), root.Host("Cache/fileLink"));
    fs::create_directory_symlink(root.Host("Cache"), root.Host("Cache/Sub/loop"));
    const auto kept = Tree(root.Host("Keep"));

    EXPECT_EQ(CacheSize(L"\\Cache"), 4u) << "links are neither counted nor entered";
    CacheCleaning cleaning = CleanCacheFolder(L"\\Cache");
    EXPECT_FALSE(cleaning.refused);
    EXPECT_TRUE(cleaning.left.empty());
    EXPECT_TRUE(Tree(root.Host("Cache")).empty());
    EXPECT_EQ(Tree(root.Host("Keep")), kept);
}

class SettingsWindowTest : public ::testing::Test {
protected:
    // The posts of windows gone (an ended modal loop's wake-up) are not left to the next test.
    void TearDown() override {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    template <class Window> void Open(Window& window) {
        window.SetFeedback(&feedback);
        ASSERT_TRUE(window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0));
    }
    static void Press(SettingWnd& window, UINT id, LPARAM argument = 0) { window.OnFtCommand(id, argument); }
    void WriteSettings(std::u16string_view text) {
        WriteHostFile(root.Host("Quillora/Data/Setting.ini"), IniBytes(text));
    }
    std::string Settings() const { return ReadHostFile(root.Host("Quillora/Data/Setting.ini")); }

    TemporaryRoot root;
    ScriptedFeedback feedback;
};

TEST_F(SettingsWindowTest, CancelLeavesTheFileAsItWasAndConfirmWritesOnlyTheWindowsOwnKeys) {
    WriteSettings(u"[Network]\r\n  IsWLAN=1\r\n  AutoConnect=1\r\n  FlvParseServer=1\r\n[Browser]\r\n  IsCache=1\r\n"
                  u"  IsDisplayPicture=0\r\n[Player]\r\n  EnableFtVideo=1\r\n  Path=\\old.exe");
    const std::string before = Settings();
    {
        ProbedSettingWnd window;
        window.file = L"\\Programs\\player.exe";
        Open(window);
        EXPECT_STREQ(window.PlayerPathRow().GetValue(), L"\\old.exe");
        EXPECT_STREQ(window.ParseServerRow().GetValue(), L"服务器2");
        Press(window, SettingWnd::BuiltInPlayerSwitchId);
        Press(window, SettingWnd::CacheOnExitSwitchId);
        Press(window, SettingWnd::ParseServerRowId);
        Press(window, SettingWnd::PlayerPathRowId);
        EXPECT_STREQ(window.PlayerPathRow().GetValue(), L"\\Programs\\player.exe");
        Press(window, SettingWnd::ToolbarId, SettingWnd::CancelButton);
        EXPECT_EQ(window.Result(), SettingWnd::ResultCancelled);
    }
    EXPECT_EQ(Settings(), before);

    ProbedSettingWnd window;
    window.file = L"\\Programs\\player.exe";
    Open(window);
    Press(window, SettingWnd::ParseServerRowId);
    EXPECT_STREQ(window.ParseServerRow().GetValue(), L"服务器1");
    Press(window, SettingWnd::ParseServerRowId);
    Press(window, SettingWnd::BuiltInPlayerSwitchId);
    Press(window, SettingWnd::CacheOnExitSwitchId);
    Press(window, SettingWnd::PlayerPathRowId);
    Press(window, SettingWnd::ToolbarId, SettingWnd::ConfirmButton);
    EXPECT_EQ(window.Result(), SettingWnd::ResultConfirmed);
    // The display mode has no row and goes back as it came; the rest keeps its bytes.
    EXPECT_EQ(
        Settings(),
        IniBytes(u"[Network]\r\n  IsWLAN=1\r\n  AutoConnect=1\r\n  FlvParseServer=1\r\n[Browser]\r\n  IsCache=0\r\n"
                 u"  IsDisplayPicture=0\r\n[Player]\r\n  EnableFtVideo=0\r\n  Path=\\Programs\\player.exe"));
}

TEST_F(SettingsWindowTest, AfterTheNetworkWindowTheRowShowsTheNetworkAloneAndConfirmLeavesItsKeys) {
    WriteSettings(u"[Network]\r\n  IsWLAN=1\r\n  AutoConnect=1\r\n  FlvParseServer=0\r\n[Browser]\r\n  IsCache=1\r\n"
                  u"[Player]\r\n  EnableFtVideo=1\r\n  Path=");
    ProbedSettingWnd window;
    Open(window);
    EXPECT_STREQ(window.NetworkRow().GetValue(), L"自动连接-WLAN");

    Press(window, SettingWnd::NetworkRowId);
    EXPECT_STREQ(window.NetworkRow().GetValue(), L"自动连接-WLAN") << "a cancelled network window changes nothing";

    // The network window stores its own choice, as it does on its confirmation.
    window.network = [] {
        IniWriteInt(L"Network", L"IsWLAN", 0, SettingsFile().c_str());
        IniWriteInt(L"Network", L"AutoConnect", 0, SettingsFile().c_str());
        return 1;
    };
    Press(window, SettingWnd::NetworkRowId);
    EXPECT_STREQ(window.NetworkRow().GetValue(), L"GPRS");
    EXPECT_EQ(window.AutoConnect(), 1) << "auto connect is not read again";

    Press(window, SettingWnd::ToolbarId, SettingWnd::ConfirmButton);
    int isWlan = -1, autoConnect = -1;
    IniReadInt(L"Network", L"IsWLAN", isWlan, SettingsFile().c_str());
    IniReadInt(L"Network", L"AutoConnect", autoConnect, SettingsFile().c_str());
    EXPECT_EQ(isWlan, 0);
    EXPECT_EQ(autoConnect, 0) << "the window's old copy is not written over the network window's";
}

TEST_F(SettingsWindowTest, TheCacheRowsShowTheFolderOfTheRegistryElseTheDefaultAndItsSize) {
    {
        ProbedSettingWnd window;
        Open(window);
        EXPECT_EQ(window.CacheFolder(), DefaultCacheFolder);
        EXPECT_STREQ(window.CacheFolderRow().GetValue(), DefaultCacheFolder);
        EXPECT_STREQ(window.CacheSizeRow().GetText(), L"清理缓存 (0 B)");
    }
    WriteHostFile(root.Host("Cache/a.bin"), std::string(1048000, 'a'));
    WriteHostFile(root.Host("Cache/Content.IE5/b.bin"), std::string(575, 'b'));
    ASSERT_TRUE(WriteCacheFolder(L"\\Cache"));
    ProbedSettingWnd window;
    Open(window);
    EXPECT_STREQ(window.CacheFolderRow().GetValue(), L"\\Cache");
    EXPECT_STREQ(window.CacheSizeRow().GetText(), L"清理缓存 (1023 KB)");
}

TEST_F(SettingsWindowTest, TheManualCleaningEmptiesContentIE5AndKeepsIt) {
    ASSERT_TRUE(WriteCacheFolder(L"\\Cache"));
    WriteHostFile(root.Host("Cache/index.dat"), "keep");
    WriteHostFile(root.Host("Cache/Content.IE5/page.htm"), "page");
    WriteHostFile(root.Host("Cache/Content.IE5/AB12/img.gif"), "gif");
    WriteHostFile(root.Host("Cache/Content.IE5/AB12/CD/x.js"), "js");
    const auto before = Tree(root.Host("Cache"));
    ProbedSettingWnd window;
    Open(window);

    Press(window, SettingWnd::CacheSizeRowId);
    EXPECT_EQ(Tree(root.Host("Cache")), before) << "the menu was cancelled";
    EXPECT_TRUE(feedback.busy.empty());

    window.cacheCommand = SettingWnd::ClearCacheCommand;
    Press(window, SettingWnd::CacheSizeRowId);
    EXPECT_EQ(Tree(root.Host("Cache")),
              (std::map<std::string, std::string>{{"Content.IE5", "/"}, {"index.dat", "keep"}}));
    EXPECT_STREQ(window.CacheSizeRow().GetText(), L"清除缓存 (4 B)");
    EXPECT_EQ(feedback.busy, (std::vector<std::string>{"wait shown", "wait closed"}));
}

// The main window reads its copy of the folder once, at its start: the folder chosen
// since goes to the registry and to the window at once, but not to the exit.
TEST_F(SettingsWindowTest, AChosenFolderServesTheWindowAtOnceButTheExitCleansTheFolderReadAtStart) {
    ASSERT_TRUE(WriteCacheFolder(L"\\Old"));
    WriteHostFile(root.Host("Old/Content.IE5/old.htm"), "old");
    WriteHostFile(root.Host("New/Content.IE5/new.htm"), "yy");
    WriteHostFile(root.Host("New/index.dat"), "zzz");
    const std::wstring atStart = ReadCacheFolder();
    const auto oldBefore = Tree(root.Host("Old"));

    ProbedSettingWnd window;
    window.folder = L"\\New";
    Open(window);
    Press(window, SettingWnd::CacheFolderRowId);
    EXPECT_EQ(ReadCacheFolder(), L"\\New");
    EXPECT_STREQ(window.CacheFolderRow().GetValue(), L"\\New");
    EXPECT_STREQ(window.CacheSizeRow().GetText(), L"清理缓存 (5 B)");

    window.cacheCommand = SettingWnd::ClearCacheCommand;
    Press(window, SettingWnd::CacheSizeRowId);
    EXPECT_EQ(Tree(root.Host("New")), (std::map<std::string, std::string>{{"Content.IE5", "/"}, {"index.dat", "zzz"}}));
    EXPECT_EQ(Tree(root.Host("Old")), oldBefore);

    Press(window, SettingWnd::ToolbarId, SettingWnd::CancelButton);
    EXPECT_EQ(ReadCacheFolder(), L"\\New") << "cancelling does not take the registry's value back";

    EXPECT_TRUE(CleanCacheAtExit(nullptr, feedback, atStart));
    EXPECT_TRUE(Tree(root.Host("Old")).empty());
    EXPECT_EQ(ReadHostFile(root.Host("New/index.dat")), "zzz");
}

TEST_F(SettingsWindowTest, ChoosingAFolderTheCleaningMustNotTouchIsRefusedWithAMessage) {
    ProbedSettingWnd window;
    Open(window);
    for (const wchar_t* folder : {L"\\Quillora\\Data", L"\\", L"\\Windows"}) {
        feedback.boxes.clear();
        window.folder = folder;
        Press(window, SettingWnd::CacheFolderRowId);
        EXPECT_EQ(feedback.boxes,
                  std::vector<std::wstring>{L"系统和程序的文件夹不能用作缓存路径，请选择其他文件夹！ / 提示 / 0"})
            << folder;
        EXPECT_EQ(window.CacheFolder(), DefaultCacheFolder) << folder;
        EXPECT_EQ(ReadCacheFolder(), DefaultCacheFolder) << folder;
    }

    feedback.boxes.clear();
    window.folder = L"\\Windows\\Profiles\\guest\\Temporary Internet Files";
    Press(window, SettingWnd::CacheFolderRowId);
    EXPECT_TRUE(feedback.boxes.empty());
    EXPECT_EQ(ReadCacheFolder(), window.folder);
}

class FileDialogWindowTest : public SettingsWindowTest {
protected:
    void SetUp() override {
        for (const char* file : {"Programs/b.EXE", "Programs/a.exe", "Programs/readme.txt", "Programs/.hidden.exe"})
            WriteHostFile(root.Host(file), "x");
        fs::create_directories(root.Host("Programs/Zeta"));
        fs::create_directories(root.Host("Programs/alpha"));
    }
    void OpenDialog(FileDialogWnd& window) {
        ASSERT_TRUE(window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0));
    }
    static std::vector<std::wstring> Names(const FileDialogWnd& window) {
        std::vector<std::wstring> names;
        for (const FileDialogEntry& entry : window.Entries())
            names.push_back(entry.name);
        return names;
    }
    static int RowOf(const FileDialogWnd& window, const std::wstring& name) {
        std::vector<std::wstring> names = Names(window);
        return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
    }
};

TEST_F(FileDialogWindowTest, AFileChoiceListsFoldersThenTheFilesTheFilterPassesAndHandsBackAFile) {
    FileDialogWnd window(FileDialogFolders | FileDialogFiles, L"/Programs\\\\", L"*.exe");
    OpenDialog(window);
    EXPECT_EQ(window.Folder(), L"\\Programs");
    EXPECT_EQ(Names(window), (std::vector<std::wstring>{L"alpha", L"Zeta", L"a.exe", L"b.EXE"}));
    EXPECT_FALSE(window.Toolbar().IsButtonEnabled(FileDialogWnd::OkButton)) << "no file chosen yet";

    window.ActOn(RowOf(window, L"alpha"));
    EXPECT_EQ(window.Folder(), L"\\Programs\\alpha");
    EXPECT_TRUE(window.Entries().empty());
    window.GoUp();
    window.GoUp();
    EXPECT_EQ(window.Folder(), L"\\");
    EXPECT_FALSE(window.Toolbar().IsButtonEnabled(FileDialogWnd::UpButton));
    window.ActOn(RowOf(window, L"Programs"));

    window.ActOn(RowOf(window, L"b.EXE"));
    EXPECT_TRUE(window.Toolbar().IsButtonEnabled(FileDialogWnd::OkButton));
    window.Confirm();
    EXPECT_EQ(window.ChosenPath(), L"\\Programs\\b.EXE");
}

TEST_F(FileDialogWindowTest, AFolderChoiceStartsAtTheNearestFolderThereAndHandsBackTheFolderShown) {
    FileDialogWnd window(FileDialogFolders, L"\\Programs\\Missing\\Deeper\\", L"");
    OpenDialog(window);
    EXPECT_EQ(window.Folder(), L"\\Programs");
    EXPECT_EQ(Names(window), (std::vector<std::wstring>{L"alpha", L"Zeta"}));
    EXPECT_TRUE(window.Toolbar().IsButtonEnabled(FileDialogWnd::OkButton));
    window.ActOn(RowOf(window, L"Zeta"));
    window.Confirm();
    EXPECT_EQ(window.ChosenPath(), L"\\Programs\\Zeta");
}

// Each interface pointer must be the object's part for that interface: a wrong one calls
// the wrong methods.
TEST(FileDialog, TheComponentAnswersForItsOwnInterfaceAndBothChoices) {
    RegisterFileDialogClass();
    ComPointer<IDeviceFileDialog> dialog;
    ASSERT_EQ(CoCreateInstance(CLSID_DeviceFileDialog, nullptr, CLSCTX_INPROC_SERVER, IDeviceFileDialog::Iid,
                               dialog.PutVoid()),
              S_OK);
    ComPointer<IFileChoiceDialog> files = dialog.As<IFileChoiceDialog>();
    ComPointer<IFolderChoiceDialog> folders = dialog.As<IFolderChoiceDialog>();
    ASSERT_TRUE(files && folders);
    EXPECT_EQ(files->SetFilter(L"*.exe"), S_OK);
    EXPECT_EQ(folders->SetMode(FileDialogFolders), S_OK);
    wchar_t buffer[MAX_PATH] = {};
    EXPECT_TRUE(FAILED(files->GetFileName(buffer, MAX_PATH))) << "nothing was chosen";
    EXPECT_TRUE(FAILED(folders->GetFolder(buffer, MAX_PATH)));
}

} // namespace
