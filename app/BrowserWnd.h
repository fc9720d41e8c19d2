#pragma once
// The browser view: the embedded browser (its site side is BrowserHost) above the
// toolbar strip, shown over the main window whenever a page is browsed. Every web
// navigation is cancelled before it starts and handed to a worker thread of its own,
// which converts the page and points the browser at the local copy; the progress
// dialog follows the loading, and the finger scrolls the page once it is ready.
//
// The window and the browser's events belong to the user-interface thread. The
// pending address, the current page path and the page-ready flag are shared with the
// workers, each read and written whole.

#include "app/BrowserCoreUi.h"
#include "app/BrowserHost.h"
#include "app/FingerScroll.h"
#include "app/NavigationWorkers.h"
#include "app/SharedText.h"
#include "toolkit/FeedbackCalls.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/ToolkitString.h"
#include "toolkit/UiImageButton.h"

#include <atomic>
#include <mutex>
#include <string>

class BrowserWnd : public BrowserHost, public CFtHostWnd, public FingerScroll::Target {
public:
    // From the progress dialog's stop button.
    static constexpr UINT StopMessage = 2024;
    static constexpr int ToolbarHeight = 65;
    static constexpr UINT ToolbarId = 2026;
    // The tool bar's buttons, left to right.
    enum ToolbarButton { HomeButton, BackButton, ForwardButton, FavouritesMenuButton, SettingsButton };
    // How long the program's end waits for the workers still running.
    static constexpr DWORD WorkerEndMilliseconds = 3000;

    BrowserWnd();
    ~BrowserWnd() override;

    using CFtHostWnd::Create;
    using CFtHostWnd::Destroy;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR timerId) override;
    void OnFtCommand(WPARAM wParam, LPARAM lParam) override;

    bool PageReady() const override { return m_pageReady.load() == 1; }
    HWND ScrollWindow() const override { return m_hWnd; }
    void ScrollPage(int dy) override { ScrollBy(0, dy); }

    void SetPageReady(bool ready) { m_pageReady = ready ? 1 : 0; }
    std::wstring PendingAddress() const { return m_pendingAddress.Get(); }
    std::wstring CurrentPagePath() const { return m_currentPagePath.Get(); }
    // The address the main window asks the browser view to open, set before it navigates.
    void SetRequestedAddress(const wchar_t* address) { m_requestedAddress.Assign(address); }
    const ToolkitString& RequestedAddress() const { return m_requestedAddress; }
    // The finger scrolling whose momentum timer this window runs.
    void SetFingerScroll(FingerScroll* scroll) { m_fingerScroll = scroll; }
    const ProgressDescriptor& Progress() const { return m_progress; }
    CoreUi& Cores() { return m_coreUi; }
    UiImageButton& Toolbar() { return m_toolbar; }
    void ClearToolbarSelection();

    // The program's end: transfers in flight are aborted, message boxes end with 0, and
    // the workers are waited for up to `milliseconds`; the number still running after.
    int EndWorkers(DWORD milliseconds = WorkerEndMilliseconds);
    int RunningWorkers() { return m_workers.Running(); }
    int StartedWorkers() const { return m_workers.Started(); }
    // Navigations begun (BeforeNavigate2 received, intercepted or not), from any thread.
    int Navigations() const { return m_navigations.load(); }
    // The address of the page the browser completed last (any thread).
    std::wstring ShownPage() const { return m_shownPage.Get(); }
    // Play lists announced by WM_SHOW_PLAYLIST so far, each shown in the play-list window.
    int PlaylistRequests() const { return m_playlistRequests.load(); }

protected:
    // The tool bar's side-window commands.
    // The favourites menu: the page shown saved as a favourite, or a favourite opened.
    virtual void OnFavouritesMenuCommand();
    // The settings; nothing is read again afterwards here.
    virtual void OnSettingsCommand();
    // The play-list window over the view, until it is closed.
    virtual void ShowPlaylist();

    void OnTitleChange(const std::wstring& text) override;
    void OnProgressChange(LONG progress, LONG progressMax) override;
    int OnFileDownload() override { return 0; }
    void OnBeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                           VARIANT* headers, VARIANT_BOOL* cancel) override;
    void OnNavigateError() override;
    void OnDocumentComplete(IDispatch* browser, VARIANT* url) override;

private:
    friend class BrowserCoreUi;

    void RunWorker();
    void AddFavourite();
    void OpenFavourites();
    // Back to the main window, which shows the program's name again.
    void GoHome();
    // A page a worker has written: from a worker thread.
    void ShowWrittenPage(const std::wstring& path);

    ToolkitString m_requestedAddress;
    UiImageButton m_toolbar;
    SharedText m_pendingAddress;
    SharedText m_currentPagePath;
    std::mutex m_showLock; // see ShowWrittenPage
    std::atomic<int> m_pageReady{0};
    std::atomic<int> m_navigations{0};
    ProgressDescriptor m_progress;
    BrowserCoreUi m_coreUi{*this};
    NavigationWorkers m_workers;
    FingerScroll* m_fingerScroll = nullptr;
    std::atomic<int> m_playlistRequests{0};
    SharedText m_shownPage;
};
