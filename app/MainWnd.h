#pragma once
// The start screen: a search box with the video/album switch and the search button over
// the list of the providers, and the tool bar with exit, channels, favourites and
// settings. A search, or a double tap on a provider for its ranking, becomes a provider
// address that the browser view slides in to open.
//
// The window, its controls, the search title and the requested address belong to the
// user-interface thread; nothing here is touched by the workers.

#include "app/NetworkPrompt.h"
#include "app/ProviderList.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/Image.h"
#include "toolkit/UiButton.h"
#include "toolkit/UiEdit.h"
#include "toolkit/UiImageButton.h"
#include "toolkit/UiStatic.h"
#include "toolkit/WindowFeedbackCalls.h"

#include <string>

class BrowserWnd;

// Asks the main window to offer bringing the network up.
constexpr UINT WM_NETWORK_PROMPT = 2224;

// A button that is its two images: the normal one, the pressed one while the finger holds it.
class PictureButton : public UiButton {
public:
    void SetImages(ToolkitImage* normal, ToolkitImage* pressed);
    void PaintWin(HDC dc, const RECT& rect) override;

private:
    ToolkitImage* m_normal = nullptr;
    ToolkitImage* m_pressed = nullptr;
};

class MainWnd : public CFtHostWnd {
public:
    static constexpr UINT ProviderListId = 2025;
    static constexpr UINT ToolbarId = 2026;
    static constexpr UINT SearchButtonId = 2029;
    static constexpr UINT SearchBoxId = 2030;
    static constexpr UINT VideoButtonId = 2031;
    static constexpr UINT AlbumButtonId = 2032;
    static constexpr UINT ClearButtonId = 2033;
    static constexpr int ToolbarHeight = 65;
    // The tool bar's buttons, left to right.
    enum ToolbarButton { ExitButton, ChannelsButton, FavouritesButton, SettingsButton };

    MainWnd();
    ~MainWnd() override;

    const wchar_t* GetFtClassName() const override { return L"MainWnd"; }
    BOOL OnInitDialog() override;
    void OnFtCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLButtonDown(UINT flags, int x, int y) override;
    // The home key leaves the program running behind the shell: the shell is answered and
    // the back buffer let go.
    int OnShellHomeKey(UINT, WPARAM, LPARAM) override { return 3; }

    // The browser view that shows what the main window opens; null: nothing is opened.
    void SetBrowser(BrowserWnd* browser) { m_browser = browser; }
    // Where the main window's message boxes go (tests script them); null: the toolkit's.
    void SetFeedback(FeedbackCalls* feedback) { m_feedback = feedback ? feedback : &m_windowFeedback; }

    // Slides the browser view in over the main window and opens `address` in it.
    void OpenInBrowser(const std::wstring& address);
    // Reads Network/AutoConnect and Network/IsWLAN from the settings file; a value
    // that is missing leaves the one held.
    void ReadNetworkSettings();
    void ClearToolbarSelection();

    // The last search's text, "-" and its provider's name: a favourite's proposed name.
    const std::wstring& SearchTitle() const { return m_searchTitle; }
    int SearchMode() const { return m_searchMode; }
    int AutoConnect() const { return m_network.autoConnect; }
    int IsWlan() const { return m_network.isWlan; }
    const std::wstring& CacheFolder() const { return m_cacheFolder; }
    // The program's end, once, while the window and the toolkit still live: the network
    // this program brought up goes down and the browser cache is emptied when asked.
    void End();
    UiEdit& SearchBox() { return m_searchBox; }
    ProviderList& Providers() { return m_providers; }
    UiImageButton& Toolbar() { return m_toolbar; }

protected:
    // The tool bar's commands. Exit ends the program; the others open side windows.
    virtual void OnExitCommand();
    // The channel list, then the page of a web channel in the browser.
    virtual void OnChannelsCommand();
    // The favourites, then the one chosen in the browser.
    virtual void OnFavouritesCommand();
    // The settings, then the network prompt again when auto connect is on.
    virtual void OnSettingsCommand();
    // WM_NETWORK_PROMPT.
    virtual void OnNetworkPrompt();
    // The window's end: the network this program brought up goes down, and the browser
    // cache is emptied when the settings ask for it.
    virtual void OnWindowEnd();

private:
    void OnToolbarCommand(int button);
    void Search();
    void SetSearchMode(int mode);
    // The mode buttons' marks, from the search mode.
    void ShowSearchMode();
    void ClearSearchText();
    // A mouse event of the provider list, `y` in the list's co-ordinates.
    void OnProviderMouse(int event, int y);
    // False (and the user told) when the device has no usable network.
    bool NetworkAvailable();
    int ShowError(const wchar_t* text);

    std::wstring m_searchTitle;
    UiEdit m_searchBox;
    UiImageButton m_toolbar;
    ProviderList m_providers;
    UiButton m_searchButton;
    UiPicture m_banner;
    PictureButton m_clearButton;
    UiStatic m_rankingHint;
    int m_searchMode = 0;
    UiIconButton m_videoButton;
    UiIconButton m_albumButton;
    NetworkState m_network;
    // Read once at start: a folder chosen later in the settings is cleaned from the next start.
    std::wstring m_cacheFolder;
    bool m_ended = false;
    BrowserWnd* m_browser = nullptr;
    WindowFeedbackCalls m_windowFeedback;
    FeedbackCalls* m_feedback = &m_windowFeedback;
};
