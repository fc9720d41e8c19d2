#pragma once
// The file dialog's window: the folder shown under the caption, its folders and then its
// files (those the filter lets through) in a list the finger scrolls, and a tool bar with
// "取消", "上一级" and "确定". A tap on a folder opens it; a tap on a file chooses it.
// "确定" ends the window with 1: in a file choice once a file is chosen, in a folder
// choice with the folder shown.
//
// Made, run modally and destroyed by the dialog object on the user-interface thread; the
// listing is read anew for every folder opened.

#include "toolkit/FtHostWnd.h"
#include "toolkit/UiList.h"
#include "toolkit/UiStatic.h"
#include "toolkit/UiToolBar.h"

#include <string>
#include <vector>

class FileDialogWnd;

struct FileDialogEntry {
    std::wstring name;
    bool folder = false;
};

// A row per entry: its name, and the arrow on a folder's row (there is more behind it).
class FileDialogList : public UiList {
public:
    explicit FileDialogList(FileDialogWnd& window) : m_window(window) {}
    void DrawItem(HDC dc, int index, const RECT& rect) override;
    void OnItemClick(int index) override;

private:
    FileDialogWnd& m_window;
};

class FileDialogWnd : public CFtHostWnd {
public:
    static constexpr UINT ListId = 2025;
    static constexpr UINT ToolbarId = 2026;
    static constexpr int CaptionHeight = 42, FolderLineHeight = 40, ToolbarHeight = 65;
    enum ToolbarButton { CancelButton, UpButton, OkButton };
    static constexpr int ResultChosen = 1, ResultCancelled = 2;

    // `mode`: FileDialogFolders, with FileDialogFiles for a file choice (FileDialog.h).
    FileDialogWnd(DWORD mode, const std::wstring& initialFolder, const std::wstring& filter);
    ~FileDialogWnd() override;

    const wchar_t* GetFtClassName() const override { return L"FileDialogWnd"; }
    BOOL OnInitDialog() override;
    void OnFtCommand(WPARAM wParam, LPARAM lParam) override;

    // A folder's row opens it, a file's row chooses the file; nothing for a row that is none.
    void ActOn(int row);
    // Shows `folder` (a device path; "\" is the root); nothing is chosen afterwards.
    void OpenFolder(const std::wstring& folder);
    void GoUp();
    void Confirm();

    bool ChoosesFiles() const;
    // The folder shown, without a closing backslash ("\" for the root).
    const std::wstring& Folder() const { return m_folder; }
    // What "确定" handed back: a file's or the folder's full path; empty before.
    const std::wstring& ChosenPath() const { return m_chosenPath; }
    const std::vector<FileDialogEntry>& Entries() const { return m_entries; }
    const FileDialogEntry* EntryAt(int row) const;
    FileDialogList& List() { return m_list; }
    UiToolBar& Toolbar() { return m_toolbar; }

private:
    bool PassesFilter(const std::wstring& name) const;
    void ShowButtons();

    DWORD m_mode;
    std::wstring m_initialFolder;
    std::wstring m_filter;
    std::wstring m_folder;
    std::wstring m_chosenPath;
    std::vector<FileDialogEntry> m_entries;
    UiCaption m_caption;
    UiStatic m_folderLine;
    FileDialogList m_list;
    UiToolBar m_toolbar;
};

// `folder` as the dialog shows it: backslashes only, one at the start, none at the end,
// and the nearest folder above it that exists when it does not.
std::wstring NearestExistingFolder(const std::wstring& folder);
