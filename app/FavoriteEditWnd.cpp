#include "app/FavoriteEditWnd.h"

#include "app/FavoriteStore.h"
#include "app/SideWindow.h"
#include "platform/fs/FileApi.h"
#include "platform/window/WindowApi.h"

#include <utility>

namespace {

// Kinds of the toolkit's transitions: in from the side, out the way it came.

const wchar_t* RefusalText(FavoriteNameFault fault) {
    switch (fault) {
    case FavoriteNameFault::Empty: return L"请输入名称！";
    case FavoriteNameFault::ForbiddenCharacter: return L"名称不能包含下列字符：\\ / : * ? \" < > |";
    case FavoriteNameFault::LeadingDot: return L"名称不能以“.”开头！";
    case FavoriteNameFault::None: break;
    }
    return nullptr;
}

} // namespace

FavoriteEditWnd::FavoriteEditWnd(FavoriteEditMode mode, std::wstring proposedName, std::wstring sourcePath)
    : m_mode(mode), m_proposedName(std::move(proposedName)), m_sourcePath(std::move(sourcePath)) {}

BOOL FavoriteEditWnd::OnInitDialog() {
    if (!CFtHostWnd::OnInitDialog())
        return FALSE;
    m_result = 0;
    int width = GetWidth(), height = GetHeight();

    AddControl(m_caption, 0, 0, 0, width, CaptionHeight);
    m_caption.SetText(m_mode == FavoriteEditMode::Add ? L"添加收藏夹" : L"编辑收藏夹");

    AddControl(m_nameBox, NameBoxId, 0, CaptionHeight, width, NameBoxHeight);
    m_nameBox.SetText(m_proposedName.c_str());
    // The compact keyboard stands on the tool bar: confirm stays in reach while typing.
    m_nameBox.SetKeyboard(9, ToolbarHeight);

    AddControl(m_toolbar, ToolbarId, 0, height - ToolbarHeight, width, ToolbarHeight);
    m_toolbar.SetButtonText(CancelButton, L"取消");
    m_toolbar.SetButtonText(ConfirmButton, L"确认");
    return TRUE;
}

int FavoriteEditWnd::Run(HWND parent) { return RunSideWindow(*this, parent); }

void FavoriteEditWnd::OnFtCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != ToolbarId)
        return;
    if (lParam == CancelButton)
        End(ResultCancelled);
    else if (lParam == ConfirmButton)
        Confirm();
}

// A tap anywhere ends typing; a tap on the name gives it the focus again on the release.
void FavoriteEditWnd::OnLButtonDown(UINT, int, int) { m_nameBox.SetFocus(false); }

void FavoriteEditWnd::Confirm() {
    m_nameBox.FinishComposition();
    std::wstring name = m_nameBox.GetText();
    // A refused name is told and stays in the box to be mended.
    if (const wchar_t* refusal = RefusalText(CheckFavoriteName(name))) {
        m_feedback->MessageBox(m_hWnd, refusal, L"提示", MessageBoxOk);
        return;
    }
    std::wstring target = FavoritePath(name);
    if (m_mode == FavoriteEditMode::Edit) {
        // A name another favourite has, or a favourite gone meanwhile: the window stays
        // open for another name, without a word.
        if (MoveFileW(m_sourcePath.c_str(), target.c_str()))
            End(ResultStored);
        return;
    }
    if (!CopyFileW(m_sourcePath.c_str(), target.c_str(), TRUE)) {
        if (m_feedback->MessageBox(m_hWnd, L"文件已存在，是否覆盖？", L"提示", MessageBoxYesNo) != ResultYes)
            return;
        // A copy that fails again (no page converted yet, a full disk) has stored nothing:
        // it is told, and the window stays.
        if (!CopyFileW(m_sourcePath.c_str(), target.c_str(), FALSE)) {
            m_feedback->MessageBox(m_hWnd, L"保存失败！", L"错误", MessageBoxOk);
            return;
        }
    }
    End(ResultStored);
}

void FavoriteEditWnd::End(int result) {
    m_result = result;
    // The keyboard goes down with the typing, not after the window has slid away.
    m_nameBox.SetFocus(false);
    EndModal(result);
}
