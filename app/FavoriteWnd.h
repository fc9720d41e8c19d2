#pragma once
// The favourites: one row per file of the favourites' folder, each with its name and
// the day it was stored. A row is chosen as the finger comes down on it; "打开" or a
// double tap ends the window with 1 and the chosen favourite's path as the result path,
// which the opener then shows. "操作" offers renaming and deleting the chosen one.
//
// Made, run modally and destroyed by its opener on the user-interface thread; the
// window owns its entries, which are read anew after every change and never kept
// between openings.

#include "app/FavoriteStore.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/UiList.h"
#include "toolkit/UiStatic.h"
#include "toolkit/UiToolBar.h"
#include "toolkit/WindowFeedbackCalls.h"

#include <string>
#include <vector>

// The favourites' rows: the star, the name and, small below it on the right, the date.
class FavoriteList : public UiList {
public:
    static constexpr int RowHeight = 70;

    FavoriteList();
    // The entries the rows show, row for row; the window keeps them.
    void SetEntries(const std::vector<FavoriteEntry>* entries) { m_entries = entries; }
    bool PressStoppedGlide() const { return PressStoppedFling(); }

    void DrawItem(HDC dc, int index, const RECT& rect) override;
    void OnLButtonUp(UINT flags, int x, int y) override;

private:
    const std::vector<FavoriteEntry>* m_entries = nullptr;
};

class FavoriteWnd : public CFtHostWnd {
public:
    static constexpr UINT ListId = 2025;
    static constexpr UINT ToolbarId = 2026;
    // The operations menu's commands.
    static constexpr UINT CancelCommand = 2224, EditCommand = 2027, DeleteCommand = 2028;
    static constexpr int CaptionHeight = 42, ToolbarHeight = 65, MenuHeight = 313;
    enum ToolbarButton { BackButton, OperationsButton, OpenButton };
    static constexpr int ResultOpen = 1, ResultBack = 2;

    FavoriteWnd();
    ~FavoriteWnd() override;

    const wchar_t* GetFtClassName() const override { return L"FavoriteWnd"; }
    BOOL OnInitDialog() override;
    void OnFtCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Where the window's message boxes go, and those of the edit window it opens (tests
    // script them); null: the toolkit's.
    void SetFeedback(FeedbackCalls* feedback) { m_feedback = feedback ? feedback : &m_windowFeedback; }
    // Made over the work area as a pop-up of `parent`, slid in and out, destroyed again:
    // the modal result, 0 when the window could not be made.
    int Run(HWND parent);

    // The favourite to open after a result of 1; may be empty.
    const std::wstring& ResultPath() const { return m_resultPath; }
    // What the window ended with; 0 while it is still open.
    int Result() const { return m_result; }
    const std::vector<FavoriteEntry>& Entries() const { return m_entries; }
    FavoriteList& List() { return m_list; }
    UiToolBar& Toolbar() { return m_toolbar; }

protected:
    // Runs the operations menu over the bottom of the work area: the command chosen, 0
    // or the cancel command for none.
    virtual UINT ChooseOperation();
    // Runs the edit window for `entry`: its modal result.
    virtual int EditFavorite(const FavoriteEntry& entry);

private:
    // Reads the folder anew; nothing is chosen afterwards.
    void Reload();
    // A mouse event of the list, `y` in the list's co-ordinates.
    void OnListMouse(int event, int y);
    // Chooses the row (−1: none) and lets the operations and open follow.
    void Choose(int row);
    void OnOperations();
    void EditChosen();
    void DeleteChosen();
    void End(int result);

    std::vector<FavoriteEntry> m_entries;
    std::wstring m_resultPath;
    int m_result = 0;
    UiCaption m_caption;
    FavoriteList m_list;
    UiToolBar m_toolbar;
    WindowFeedbackCalls m_windowFeedback;
    FeedbackCalls* m_feedback = &m_windowFeedback;
};
