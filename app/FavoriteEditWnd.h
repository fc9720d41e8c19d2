#pragma once
// Names a favourite: stores the page last converted under a new name (add), or gives an
// existing favourite another name (edit). Ends with 1 when the favourite was stored or
// renamed, with 2 when the user cancelled. A name that would not make a plain file name
// in the favourites' folder is refused before anything is written.
//
// Made, run modally and destroyed by its opener on the user-interface thread, like
// every window; nothing here is shared.

#include "toolkit/FtHostWnd.h"
#include "toolkit/UiEdit.h"
#include "toolkit/UiStatic.h"
#include "toolkit/UiToolBar.h"
#include "toolkit/WindowFeedbackCalls.h"

#include <string>

enum class FavoriteEditMode { Add, Edit };

class FavoriteEditWnd : public CFtHostWnd {
public:
    static constexpr UINT ToolbarId = 2026;
    static constexpr UINT NameBoxId = 2030;
    static constexpr int CaptionHeight = 42, NameBoxHeight = 60, ToolbarHeight = 65;
    // The tool bar's columns.
    enum ToolbarButton { CancelButton = 0, ConfirmButton = 2 };
    static constexpr int ResultStored = 1, ResultCancelled = 2;

    // `sourcePath`: the page to copy (add) or the favourite to rename (edit).
    FavoriteEditWnd(FavoriteEditMode mode, std::wstring proposedName, std::wstring sourcePath);

    const wchar_t* GetFtClassName() const override { return L"FavoriteEditWnd"; }
    BOOL OnInitDialog() override;
    void OnFtCommand(WPARAM wParam, LPARAM lParam) override;
    void OnLButtonDown(UINT flags, int x, int y) override;

    // Where the window's message boxes go (tests script them); null: the toolkit's.
    void SetFeedback(FeedbackCalls* feedback) { m_feedback = feedback ? feedback : &m_windowFeedback; }
    // Made over the work area as a pop-up of `parent`, slid in and out, destroyed again:
    // the modal result, 0 when the window could not be made.
    int Run(HWND parent);

    // What the window ended with; 0 while it is still open.
    int Result() const { return m_result; }
    UiEdit& NameBox() { return m_nameBox; }
    UiToolBar& Toolbar() { return m_toolbar; }

private:
    void Confirm();
    void End(int result);

    FavoriteEditMode m_mode;
    std::wstring m_proposedName;
    std::wstring m_sourcePath;
    int m_result = 0;
    UiCaption m_caption;
    UiEdit m_nameBox;
    UiToolBar m_toolbar;
    WindowFeedbackCalls m_windowFeedback;
    FeedbackCalls* m_feedback = &m_windowFeedback;
};
