#include "app/FileDialogWnd.h"

#include "app/BrowserCache.h"
#include "app/FileDialog.h"
#include "platform/fs/FileApi.h"
#include "platform/fs/FindFile.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "toolkit/GdiGuards.h"
#include "toolkit/Image.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"

#include <algorithm>
#include <cwctype>

namespace {

constexpr int NameInset = 25;
constexpr UINT NameFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;
constexpr UINT FolderLineFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ParentFolder(const std::wstring& folder) {
    std::size_t cut = folder.find_last_of(L'\\');
    return cut == std::wstring::npos || cut == 0 ? L"\\" : folder.substr(0, cut);
}

bool LessIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return std::towlower(static_cast<wint_t>(x)) < std::towlower(static_cast<wint_t>(y));
    });
}

} // namespace

std::wstring NearestExistingFolder(const std::wstring& folder) {
    std::wstring path;
    for (wchar_t c : folder)
        path += c == L'/' ? L'\\' : c;
    // Doubled backslashes would make a path the dialog's own "上一级" never climbs back to.
    path.erase(std::unique(path.begin(), path.end(), [](wchar_t a, wchar_t b) { return a == L'\\' && b == L'\\'; }),
               path.end());
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    if (path.empty() || path.front() != L'\\')
        path.insert(path.begin(), L'\\');
    while (path != L"\\" && !IsFolder(path))
        path = ParentFolder(path);
    return path;
}

void FileDialogList::DrawItem(HDC dc, int index, const RECT& rect) {
    if (index == GetSelectedIndex())
        DrawSelection(dc, rect);
    else
        DrawSeparator(dc, rect);
    const FileDialogEntry* entry = m_window.EntryAt(index);
    if (!entry)
        return;
    int right = rect.right - NameInset;
    if (entry->folder) {
        ToolkitImage* arrow = LoadImage(GetResourceModule(), ArrowImage, ImageWithBitmap);
        SIZE size = ImageSize(arrow);
        int y = rect.top + (rect.bottom - rect.top - size.cy) / 2;
        DrawImage(arrow, dc, RECT{right - size.cx, y, right, y + size.cy}, false, false);
        right -= size.cx + 8;
    }
    RECT name{rect.left + NameInset, rect.top, right, rect.bottom};
    SelectedObject font(dc, TextFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetThemeColour(entry->folder ? SYSCLR_LIST_TEXT : SYSCLR_LIST_TEXT2));
    DrawTextW(dc, entry->name.c_str(), -1, &name, NameFormat);
}

void FileDialogList::OnItemClick(int index) { m_window.ActOn(index); }

FileDialogWnd::FileDialogWnd(DWORD mode, const std::wstring& initialFolder, const std::wstring& filter)
    : m_mode(mode), m_initialFolder(initialFolder), m_filter(filter), m_list(*this) {}

FileDialogWnd::~FileDialogWnd() = default;

bool FileDialogWnd::ChoosesFiles() const { return (m_mode & FileDialogFiles) != 0; }

BOOL FileDialogWnd::OnInitDialog() {
    if (!CFtHostWnd::OnInitDialog())
        return FALSE;
    int width = GetWidth(), height = GetHeight();

    AddControl(m_caption, 0, 0, 0, width, CaptionHeight);
    m_caption.SetText(ChoosesFiles() ? L"选择文件" : L"选择文件夹");

    AddControl(m_folderLine, 0, 20, CaptionHeight, width - 40, FolderLineHeight);
    m_folderLine.SetTextSize(20);
    m_folderLine.SetTextColour(GetThemeColour(SYSCLR_LIST_TEXT3));
    m_folderLine.SetTextFormat(FolderLineFormat);

    int listTop = CaptionHeight + FolderLineHeight;
    AddControl(m_list, ListId, 0, listTop, width, height - listTop - ToolbarHeight);
    m_list.SetScrollMode(2);

    AddControl(m_toolbar, ToolbarId, 0, height - ToolbarHeight, width, ToolbarHeight);
    m_toolbar.SetButtonText(CancelButton, L"取消");
    m_toolbar.SetButtonText(UpButton, L"上一级");
    m_toolbar.SetButtonText(OkButton, L"确定");

    OpenFolder(NearestExistingFolder(m_initialFolder));
    return TRUE;
}

bool FileDialogWnd::PassesFilter(const std::wstring& name) const {
    std::size_t start = 0;
    while (start <= m_filter.size()) {
        std::size_t end = m_filter.find(L';', start);
        if (end == std::wstring::npos)
            end = m_filter.size();
        std::wstring pattern = m_filter.substr(start, end - start);
        if (!pattern.empty() && platform::WildcardMatches(pattern, name))
            return true;
        start = end + 1;
    }
    return m_filter.find_first_not_of(L"; ") == std::wstring::npos;
}

void FileDialogWnd::OpenFolder(const std::wstring& folder) {
    m_folder = folder.empty() ? L"\\" : folder;
    m_entries.clear();
    std::vector<FileDialogEntry> files;
    for (const FolderEntry& found : ListFolder(m_folder, L"*")) {
        // The host's hidden files are none of the device's.
        if (found.name.empty() || found.name.front() == L'.')
            continue;
        if (found.folder)
            m_entries.push_back({found.name, true});
        else if (ChoosesFiles() && PassesFilter(found.name))
            files.push_back({found.name, false});
    }
    auto byName = [](const FileDialogEntry& a, const FileDialogEntry& b) { return LessIgnoringCase(a.name, b.name); };
    std::sort(m_entries.begin(), m_entries.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    m_entries.insert(m_entries.end(), files.begin(), files.end());

    m_list.StopScroll();
    m_list.RemoveAll();
    for (const FileDialogEntry& entry : m_entries)
        m_list.AddItem(entry.name.c_str());
    m_list.SetSelectedIndex(-1);
    m_list.ScrollTo(m_list.GetHeaderOffset(), false);
    m_list.Refresh();
    m_folderLine.SetText(m_folder.c_str());
    m_folderLine.Invalidate();
    ShowButtons();
}

const FileDialogEntry* FileDialogWnd::EntryAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= m_entries.size())
        return nullptr;
    return &m_entries[static_cast<std::size_t>(row)];
}

void FileDialogWnd::ActOn(int row) {
    const FileDialogEntry* entry = EntryAt(row);
    if (!entry)
        return;
    if (entry->folder) {
        OpenFolder(JoinDevicePath(m_folder, entry->name));
        return;
    }
    m_list.SetSelectedIndex(row);
    m_list.Refresh();
    ShowButtons();
}

void FileDialogWnd::GoUp() {
    if (m_folder != L"\\")
        OpenFolder(ParentFolder(m_folder));
}

void FileDialogWnd::ShowButtons() {
    const FileDialogEntry* chosen = EntryAt(m_list.GetSelectedIndex());
    m_toolbar.SetButtonEnabled(OkButton, ChoosesFiles() ? chosen && !chosen->folder : true);
    m_toolbar.SetButtonEnabled(UpButton, m_folder != L"\\");
    m_toolbar.Invalidate();
    m_toolbar.Update();
}

void FileDialogWnd::Confirm() {
    if (!ChoosesFiles()) {
        m_chosenPath = m_folder;
        EndModal(ResultChosen);
        return;
    }
    const FileDialogEntry* chosen = EntryAt(m_list.GetSelectedIndex());
    if (!chosen || chosen->folder)
        return;
    m_chosenPath = JoinDevicePath(m_folder, chosen->name);
    EndModal(ResultChosen);
}

void FileDialogWnd::OnFtCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != ToolbarId)
        return;
    switch (lParam) {
    case CancelButton: EndModal(ResultCancelled); break;
    case UpButton: GoUp(); break;
    case OkButton: Confirm(); break;
    default: break;
    }
}
