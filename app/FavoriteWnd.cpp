#include "app/FavoriteWnd.h"

#include "app/FavoriteEditWnd.h"
#include "app/SideWindow.h"
#include "platform/device/Module.h"
#include "platform/fs/FileApi.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "platform/window/WindowApi.h"
#include "toolkit/GdiGuards.h"
#include "toolkit/Image.h"
#include "toolkit/OptionMenu.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitMessages.h"

namespace {

constexpr UINT FavoriteIcon = 1010;
constexpr int IconBoxWidth = 70;
constexpr COLORREF TitleColour = RGB(0, 0, 0);
constexpr COLORREF DateColour = RGB(0x94, 0x94, 0x94);
constexpr int TitleFontHeight = 26, DateFontHeight = 16, TextWeight = 400;
constexpr UINT TitleFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;
constexpr UINT DateFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER | DT_RIGHT;
// Kinds of the option menu's buttons: quiet, the warning one, the blue one that goes on.
constexpr int QuietKind = 1, WarningKind = 2, GoOnKind = 5;
// Kinds of the toolkit's transitions: in from the side, out the way it came.

ToolkitImage* ProgramArt(UINT id) { return LoadImage(GetModuleHandleW(nullptr), id, ImageWithBitmap); }

// At its own size in the middle of `area`.
void DrawCentred(const ToolkitImage* image, HDC dc, const RECT& area) {
    SIZE size = ImageSize(image);
    int x = area.left + (area.right - area.left - size.cx) / 2, y = area.top + (area.bottom - area.top - size.cy) / 2;
    DrawImage(image, dc, RECT{x, y, x + size.cx, y + size.cy}, false, false);
}

void DrawLine(HDC dc, const std::wstring& text, RECT area, int fontHeight, COLORREF colour, UINT format) {
    SelectedObject font(dc, GetFont(fontHeight, TextWeight, false, false, FontUpright));
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), -1, &area, format);
}

} // namespace

FavoriteList::FavoriteList() { SetItemHeight(RowHeight); }

void FavoriteList::DrawItem(HDC dc, int index, const RECT& rect) {
    if (index == GetSelectedIndex())
        DrawSelection(dc, rect);
    DrawCentred(ProgramArt(FavoriteIcon), dc, RECT{rect.left, rect.top, rect.left + IconBoxWidth, rect.bottom});
    const UiListItem* item = GetItem(index);
    if (!item)
        return;
    SetBkMode(dc, TRANSPARENT);
    DrawLine(dc, item->text.C_Str(), RECT{rect.left + IconBoxWidth, rect.top + 10, rect.right - 10, rect.bottom - 30},
             TitleFontHeight, TitleColour, TitleFormat);
    if (m_entries && index >= 0 && static_cast<std::size_t>(index) < m_entries->size())
        DrawLine(dc, (*m_entries)[static_cast<std::size_t>(index)].dateText,
                 RECT{rect.left + IconBoxWidth, rect.bottom - 30, rect.right - 20, rect.bottom - 10}, DateFontHeight,
                 DateColour, DateFormat);
}

// The window chooses rows as the finger comes down and lets them go when it moves; the
// list's own choice on a tap would bring back a row the finger's move gave up, with the
// tool bar left disabled under it.
void FavoriteList::OnLButtonUp(UINT flags, int x, int y) { UiScroller::OnLButtonUp(flags, x, y); }

FavoriteWnd::FavoriteWnd() { m_list.SetEntries(&m_entries); }
FavoriteWnd::~FavoriteWnd() = default;

BOOL FavoriteWnd::OnInitDialog() {
    if (!CFtHostWnd::OnInitDialog())
        return FALSE;
    m_result = 0;
    m_resultPath.clear();
    int width = GetWidth(), height = GetHeight();

    AddControl(m_caption, 0, 0, 0, width, CaptionHeight);
    m_caption.SetText(L"收藏夹");

    AddControl(m_list, ListId, 0, CaptionHeight, width, height - CaptionHeight - ToolbarHeight);
    m_list.SetScrollMode(2);
    m_list.SetNotifyMouse(true);

    AddControl(m_toolbar, ToolbarId, 0, height - ToolbarHeight, width, ToolbarHeight);
    m_toolbar.SetButtonText(BackButton, L"返回");
    m_toolbar.SetButtonText(OperationsButton, L"操作");
    m_toolbar.SetButtonText(OpenButton, L"打开");

    Reload();
    Choose(-1);
    return TRUE;
}

int FavoriteWnd::Run(HWND parent) { return RunSideWindow(*this, parent); }

void FavoriteWnd::Reload() {
    m_list.RemoveAll();
    m_entries = ListFavorites(FavoriteFolder());
    for (const FavoriteEntry& entry : m_entries)
        m_list.AddItem(entry.title.c_str());
    // The path came from an entry that may be gone or renamed now: a double tap beside
    // the rows must not open it.
    m_resultPath.clear();
    m_list.Refresh();
}

LRESULT FavoriteWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_FT_MOUSE && LOWORD(wParam) == ListId) {
        OnListMouse(HIWORD(wParam), GET_Y_LPARAM(lParam));
        return 0;
    }
    return CFtHostWnd::WindowProc(message, wParam, lParam);
}

void FavoriteWnd::OnListMouse(int event, int y) {
    switch (event) {
    case FtMouseDown: {
        if (m_list.IsMoving())
            return;
        int row = m_list.HitTestItem(y);
        if (row >= 0 && static_cast<std::size_t>(row) < m_entries.size())
            m_resultPath = m_entries[static_cast<std::size_t>(row)].path;
        else
            row = -1; // the result path stays: a double tap beside the rows still opens it
        Choose(row);
        break;
    }
    case FtMouseMove:
        // Every move drags the rows, so only a press that merely stopped a glide is left
        // alone; a drag that began on a row gives the row up.
        if (m_list.PressStoppedGlide() || m_list.GetSelectedIndex() < 0)
            return;
        m_resultPath.clear();
        Choose(-1);
        break;
    case FtMouseDoubleClick: {
        if (m_list.IsMoving())
            return;
        int row = m_list.HitTestItem(y);
        if (row >= 0 && static_cast<std::size_t>(row) < m_entries.size())
            m_resultPath = m_entries[static_cast<std::size_t>(row)].path;
        End(ResultOpen);
        break;
    }
    default: break;
    }
}

void FavoriteWnd::Choose(int row) {
    m_list.SetSelectedIndex(row);
    m_list.Refresh();
    bool chosen = m_list.GetSelectedIndex() >= 0;
    m_toolbar.SetButtonEnabled(OperationsButton, chosen);
    m_toolbar.SetButtonEnabled(OpenButton, chosen);
    m_toolbar.Update();
}

void FavoriteWnd::OnFtCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != ToolbarId)
        return;
    switch (lParam) {
    case BackButton: End(ResultBack); break;
    case OperationsButton: OnOperations(); break;
    case OpenButton: End(ResultOpen); break;
    default: break;
    }
}

UINT FavoriteWnd::ChooseOperation() {
    OptionMenu menu;
    menu.AddItem(L"取消", CancelCommand, QuietKind);
    menu.AddItem(L"编辑", EditCommand, GoOnKind);
    menu.AddItem(L"删除", DeleteCommand, WarningKind);
    RECT work = GetWorkArea();
    return static_cast<UINT>(menu.Run(m_hWnd, RECT{work.left, work.bottom - MenuHeight, work.right, work.bottom}));
}

void FavoriteWnd::OnOperations() {
    switch (ChooseOperation()) {
    case EditCommand: EditChosen(); break;
    case DeleteCommand: DeleteChosen(); break;
    default: break;
    }
}

int FavoriteWnd::EditFavorite(const FavoriteEntry& entry) {
    FavoriteEditWnd edit(FavoriteEditMode::Edit, entry.title, entry.path);
    edit.SetFeedback(m_feedback);
    return edit.Run(m_hWnd);
}

void FavoriteWnd::EditChosen() {
    int row = m_list.GetSelectedIndex();
    if (row < 0 || static_cast<std::size_t>(row) >= m_entries.size())
        return;
    // A copy: the entries are read anew while the edit window still names this one.
    FavoriteEntry entry = m_entries[static_cast<std::size_t>(row)];
    if (EditFavorite(entry) != FavoriteEditWnd::ResultStored)
        return;
    Reload();
    Choose(-1);
}

void FavoriteWnd::DeleteChosen() {
    int row = m_list.GetSelectedIndex();
    if (row < 0 || static_cast<std::size_t>(row) >= m_entries.size()) {
        m_feedback->MessageBox(m_hWnd, L"请选择您要删除的收藏项！", L"提醒", MessageBoxOk);
        return;
    }
    std::wstring path = m_entries[static_cast<std::size_t>(row)].path;
    if (m_feedback->MessageBox(m_hWnd, L"您确认要删除吗？", L"提醒", MessageBoxYesNo) != ResultYes)
        return;
    // A file that cannot go leaves the list as it is, the row still chosen.
    if (!DeleteFileW(path.c_str()))
        return;
    Reload();
    Choose(-1);
}

void FavoriteWnd::End(int result) {
    m_result = result;
    EndModal(result);
}
