#pragma once
// The settings: seven rows over a scrolling panel (network, parse server, built-in
// player, player path, cleaning at exit, cache folder, cache size with its cleaning), a
// line of thanks, and "取消" and "确认". The window edits a working copy of Setting.ini's
// options that reaches the file only on "确认"; the cache folder it chooses goes to the
// registry at once and is used at once by the window's own size and cleaning.
//
// Made, run modally and destroyed by the view that opens it, on the user-interface
// thread. The file and the registry are read when it opens; nothing is kept between
// openings.

#include "app/BrowserCache.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/UiScrollWin.h"
#include "toolkit/UiSettingRow.h"
#include "toolkit/UiStatic.h"
#include "toolkit/UiToolBar.h"
#include "toolkit/WindowFeedbackCalls.h"

#include <string>

class SettingWnd : public CFtHostWnd {
public:
    static constexpr UINT ToolbarId = 2024;
    static constexpr UINT PlayerPathRowId = 2025;
    static constexpr UINT CacheOnExitSwitchId = 2027;
    static constexpr UINT CacheSizeRowId = 2028;
    static constexpr UINT BuiltInPlayerSwitchId = 2029;
    static constexpr UINT CacheFolderRowId = 2030;
    static constexpr UINT NetworkRowId = 2031;
    static constexpr UINT ParseServerRowId = 2032;
    // The cache row's menu.
    static constexpr UINT CancelCommand = 2224, ClearCacheCommand = 2125;
    static constexpr int CaptionHeight = 42, ToolbarHeight = 65, RowHeight = 70, MenuHeight = 230;
    enum ToolbarButton { CancelButton = 0, ConfirmButton = 2 };
    static constexpr int ResultConfirmed = 1, ResultCancelled = 2;

    SettingWnd();
    ~SettingWnd() override;

    const wchar_t* GetFtClassName() const override { return L"SettingWnd"; }
    BOOL OnInitDialog() override;
    void OnFtCommand(WPARAM wParam, LPARAM lParam) override;

    // Where the window's message boxes and wait dialog go (tests script them); null: the toolkit's.
    void SetFeedback(FeedbackCalls* feedback) { m_feedback = feedback ? feedback : &m_windowFeedback; }
    // Made over the work area as a pop-up of `parent`, slid in and out, destroyed again:
    // the modal result, 0 when the window could not be made.
    int Run(HWND parent);

    // What the window ended with; 0 while it is still open.
    int Result() const { return m_result; }
    const std::wstring& CacheFolder() const { return m_cacheFolder; }
    int ParseServer() const { return m_parseServer; }
    int BuiltInPlayer() const { return m_builtInPlayer; }
    int CacheOnExit() const { return m_cacheOnExit; }
    int ShowPictures() const { return m_showPictures; }
    int AutoConnect() const { return m_autoConnect; }
    int IsWlan() const { return m_isWlan; }
    // What the last cleaning's walk found below the cleaned folder.
    const CacheWalk& FoundEntries() const { return m_found; }
    UiSettingRow& NetworkRow() { return m_networkRow; }
    UiSettingRow& ParseServerRow() { return m_parseServerRow; }
    UiSettingRow& BuiltInPlayerRow() { return m_builtInPlayerRow; }
    UiSettingRow& PlayerPathRow() { return m_playerPathRow; }
    UiSettingRow& CacheOnExitRow() { return m_cacheOnExitRow; }
    UiSettingRow& CacheFolderRow() { return m_cacheFolderRow; }
    UiSettingRow& CacheSizeRow() { return m_cacheSizeRow; }
    UiToolBar& Toolbar() { return m_toolbar; }

protected:
    // Runs the network window (effects 12 and 11) over this one: its modal result. The
    // network window is not part of this window; until it is connected nothing runs.
    virtual int RunNetworkWindow();
    // The cache row's menu: the command chosen, 0 or the cancel command for none.
    virtual UINT ChooseCacheCommand();
    // The device's file dialog: a program ("*.exe") from the root, or a folder from the
    // cache folder; false when the user chose nothing.
    virtual bool ChooseFile(std::wstring& path);
    virtual bool ChooseFolder(std::wstring& folder);

private:
    void ReadSettings();
    void OnNetworkRow();
    void OnParseServerRow();
    void OnPlayerPathRow();
    void OnCacheFolderRow();
    void OnCacheSizeRow();
    void CleanCache();
    void Confirm();
    void End(int result);
    // The whole window drawn anew, after the file dialog has lain over it.
    void Repaint();
    void ShowCacheSize(const wchar_t* label);
    void AddRow(UiSettingRow& row, UINT id, int offset, const wchar_t* label);

    std::wstring m_playerPath;
    int m_builtInPlayer = 1;
    int m_cacheOnExit = 1;
    int m_showPictures = 1;
    int m_autoConnect = 1;
    int m_isWlan = 1;
    int m_parseServer = 0;
    std::wstring m_cacheFolder;
    CacheWalk m_found;
    int m_result = 0;

    UiCaption m_caption;
    UiScrollWin m_rows;
    UiSettingRow m_networkRow;
    UiSettingRow m_parseServerRow;
    UiSettingRow m_builtInPlayerRow;
    UiSettingRow m_playerPathRow;
    UiSettingRow m_cacheOnExitRow;
    UiSettingRow m_cacheFolderRow;
    UiSettingRow m_cacheSizeRow;
    UiStatic m_thanks;
    UiToolBar m_toolbar;
    WindowFeedbackCalls m_windowFeedback;
    FeedbackCalls* m_feedback = &m_windowFeedback;
};
