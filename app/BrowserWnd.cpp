#include "app/BrowserWnd.h"

#include "app/FavoriteEditWnd.h"
#include "app/FavoriteWnd.h"
#include "app/MainWnd.h"
#include "app/PlayListWnd.h"
#include "app/SettingWnd.h"
#include "app/SideWindow.h"
#include "convert/NavigationWorker.h"
#include "platform/com/Automation.h"
#include "platform/device/Module.h"
#include "platform/inet/WinInet.h"
#include "platform/window/WindowApi.h"
#include "toolkit/Image.h"
#include "toolkit/OptionMenu.h"
#include "toolkit/ProgressDialog.h"
#include "toolkit/Transition.h"

#include <initializer_list>

namespace {

constexpr const wchar_t* ProgramCaption = L"Quillora";
// The main window pushes the browser view out of the way again.
constexpr int HomeAnimation = 11;
constexpr UINT HomeImage = 1001, BackImage = 1002, ForwardImage = 1003, FavouritesMenuImage = 1008,
               SettingsImage = 1004;

} // namespace

BrowserWnd::BrowserWnd() {
    m_progress.stopMessage = StopMessage;
    m_progress.stopCaption = L"停止";
}

BrowserWnd::~BrowserWnd() {
    // Workers reach this object; none may outlive it.
    EndWorkers();
}

BOOL BrowserWnd::OnInitDialog() {
    if (!CFtHostWnd::OnInitDialog())
        return FALSE;
    m_progress.stopTarget = m_hWnd;
    BrowserHost::Create(GetModuleHandleW(nullptr));
    AttachTo(m_hWnd, RECT{0, 0, GetWidth(), GetHeight() - ToolbarHeight});
    ShowHost(1);
    m_toolbar.SetID(ToolbarId);
    m_toolbar.SetPos(0, GetHeight() - ToolbarHeight, GetWidth(), ToolbarHeight);
    for (UINT image : {HomeImage, BackImage, ForwardImage, FavouritesMenuImage, SettingsImage})
        m_toolbar.AddButton(LoadImage(GetModuleHandleW(nullptr), image, ImageWithBitmap));
    m_toolbar.SetSelected(-1);
    GetWinManager().AddChild(&m_toolbar);
    return TRUE;
}

void BrowserWnd::OnFtCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != ToolbarId)
        return;
    switch (lParam) {
    case HomeButton: GoHome(); break;
    // The page the browser goes back or forward to is one it has shown: the finger may
    // scroll it without waiting for a worker.
    case BackButton:
        GoBack();
        m_pageReady = 1;
        ClearToolbarSelection();
        break;
    case ForwardButton:
        GoForward();
        m_pageReady = 1;
        ClearToolbarSelection();
        break;
    case FavouritesMenuButton:
        OnFavouritesMenuCommand();
        ClearToolbarSelection();
        break;
    case SettingsButton:
        ClearToolbarSelection();
        OnSettingsCommand();
        break;
    default: break;
    }
}

void BrowserWnd::GoHome() {
    Show(false, true);
    HWND parent = GetParent(m_hWnd);
    CFtWnd* mainWindow = parent ? CFtWnd::FindWnd(parent) : nullptr;
    if (mainWindow)
        AnimateWindow(*mainWindow, HomeAnimation, true);
    // The hidden page is not scrolled; the next one shown makes the flag again.
    m_pageReady = 0;
    // The browser gave the main window the caption of each page it showed.
    if (mainWindow)
        mainWindow->SetText(ProgramCaption);
    ClearToolbarSelection();
}

void BrowserWnd::ClearToolbarSelection() {
    m_toolbar.SetSelected(-1);
    m_toolbar.Invalidate();
    m_toolbar.Update();
}

LRESULT BrowserWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == StopMessage) {
        Stop();
        return 0;
    }
    if (message == WM_SHOW_PLAYLIST) {
        ++m_playlistRequests;
        ShowPlaylist();
        return 0;
    }
    return CFtHostWnd::WindowProc(message, wParam, lParam);
}

void BrowserWnd::OnFavouritesMenuCommand() {
    constexpr UINT Cancel = 2224, Add = 2026, Open = 2027;
    constexpr int MenuHeight = 313;
    RECT work = CFtWnd::GetWorkArea();
    OptionMenu menu;
    menu.AddItem(L"取消", Cancel, 1);
    menu.AddItem(L"添加到收藏夹", Add, 2);
    menu.AddItem(L"打开收藏夹", Open, 5);
    int chosen = menu.Run(m_hWnd, RECT{work.left, work.bottom - MenuHeight, work.right, work.bottom});
    if (chosen == static_cast<int>(Add))
        AddFavourite();
    else if (chosen == static_cast<int>(Open))
        OpenFavourites();
}

// The name proposed is the main window's search title; the file is the page the last
// conversion wrote.
void BrowserWnd::AddFavourite() {
    HWND parent = m_hWnd ? GetParent(m_hWnd) : nullptr;
    auto* main = parent ? dynamic_cast<MainWnd*>(CFtWnd::FindWnd(parent)) : nullptr;
    FavoriteEditWnd edit(FavoriteEditMode::Add, main ? main->SearchTitle() : std::wstring(), CurrentPagePath());
    if (edit.Run(m_hWnd) == 1)
        m_coreUi.MessageBox(m_hWnd, L"保存成功！", L"提示", MessageBoxOk);
}

// The browser view is showing already: the favourite simply replaces the page.
void BrowserWnd::OpenFavourites() {
    FavoriteWnd favourites;
    if (favourites.Run(m_hWnd) == 1 && !favourites.ResultPath().empty())
        Navigate(favourites.ResultPath());
}

// The play list a resolver has just written.
void BrowserWnd::ShowPlaylist() {
    PlayListWnd playList;
    playList.SetFeedback(&m_coreUi);
    RunSideWindow(playList, m_hWnd);
}

void BrowserWnd::OnSettingsCommand() {
    SettingWnd settings;
    settings.SetFeedback(&m_coreUi);
    settings.Run(m_hWnd);
}

void BrowserWnd::OnTimer(UINT_PTR timerId) {
    if (timerId == FingerScroll::MomentumTimer && m_fingerScroll)
        m_fingerScroll->MomentumStep();
    CFtHostWnd::OnTimer(timerId);
}

// The page's title is the main window's caption (the browser view's own when it stands
// alone).
void BrowserWnd::OnTitleChange(const std::wstring& text) {
    HWND parent = m_hWnd ? GetParent(m_hWnd) : nullptr;
    CFtWnd* captioned = parent ? CFtWnd::FindWnd(parent) : nullptr;
    (captioned ? captioned : this)->SetText(text.c_str());
}

void BrowserWnd::OnProgressChange(LONG progress, LONG progressMax) {
    if (progress < 0 || progressMax <= 0)
        return;
    if (progress == 0 || (progress == 100 && m_progress.position.load() == 0))
        m_coreUi.ShowProgressDialog(m_progress, ParentWindow());
    m_progress.lowerBound = 0;
    m_progress.upperBound = progressMax;
    m_progress.position = progress;
    RefreshProgressDialogWindow();
    if (ReadyState() == READYSTATE_INTERACTIVE) {
        m_pageReady = 1;
        m_progress.position = 0;
        m_coreUi.CloseProgressDialog(m_progress);
    }
}

void BrowserWnd::OnBeforeNavigate2(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                   VARIANT_BOOL* cancel) {
    ++m_navigations;
    ReleaseDocumentWindow();
    m_pageReady = 0;
    if (!url || url->vt != VT_BSTR)
        return;
    std::wstring address(url->bstrVal, SysStringLen(url->bstrVal));
    if (!address.empty() && address[0] == L'\\') {
        if (cancel)
            *cancel = VARIANT_FALSE;
        return; // a local page: the control loads it
    }
    if (cancel)
        *cancel = VARIANT_TRUE;
    m_pendingAddress.Set(address);
    m_workers.Start([this] { RunWorker(); });
}

void BrowserWnd::OnDocumentComplete(IDispatch*, VARIANT* url) {
    if (url && url->vt == VT_BSTR)
        m_shownPage.Set(std::wstring(url->bstrVal, SysStringLen(url->bstrVal)));
}

// The control keeps the page it showed, which the finger may scroll again.
void BrowserWnd::OnNavigateError() {
    m_coreUi.CloseProgressDialog(m_progress);
    m_pageReady = 1;
}

void BrowserWnd::RunWorker() {
    // Taken once, when the request is made: an interception that came since has
    // replaced it, and then this worker handles the newer address as well.
    switch (RunNavigation(m_coreUi, [this] { return m_pendingAddress.Get(); }).result) {
    case ClassifyResult::PageFailed:
    case ClassifyResult::PlaybackFailed:
    case ClassifyResult::PlaybackStarted: m_pageReady = 1; break;
    default: break;
    }
}

void BrowserWnd::ShowWrittenPage(const std::wstring& path) {
    // Workers finishing together hand their pages over one at a time, so that the page
    // the control shows last is the one the current page path names (the page a
    // favourite saves).
    std::lock_guard guard(m_showLock);
    m_currentPagePath.Set(path);
    Navigate(path);
}

int BrowserWnd::EndWorkers(DWORD milliseconds) {
    if (m_workers.Running() == 0)
        return 0;
    platform::AbortTransfers();
    EndFeedback();
    // A worker's window may send this thread a message (a box coming up activates
    // itself): the wait answers them.
    return m_workers.WaitAll(milliseconds, [] {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    });
}
