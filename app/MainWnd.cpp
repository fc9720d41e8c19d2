#include "app/MainWnd.h"

#include "app/BrowserCache.h"
#include "app/BrowserWnd.h"
#include "app/ChannelListWnd.h"
#include "app/FavoriteWnd.h"
#include "app/SearchTerm.h"
#include "app/SettingWnd.h"
#include "app/SideWindow.h"
#include "platform/device/CallInterface.h"
#include "platform/device/Module.h"
#include "platform/gdi/TextApi.h"
#include "platform/window/WindowApi.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"
#include "toolkit/ToolkitMessages.h"
#include "toolkit/Transition.h"

#include <initializer_list>
#include <utility>

namespace {

constexpr COLORREF ModeTextColour = 0x006B5542;
constexpr int ModeButtonKind = 0;
constexpr int SearchButtonKind = 5;
constexpr int BannerHeight = 130;
// The browser view pushes the main window out of the way.
constexpr int OpenAnimation = 12;

constexpr UINT BannerImage = 1005;
constexpr UINT ClearImage = 1006, ClearPressedImage = 1007;
constexpr UINT ExitImage = 1011, ChannelsImage = 1012, FavouritesImage = 1008, SettingsImage = 1004;

ToolkitImage* ToolkitArt(UINT id) { return LoadImage(GetResourceModule(), id, ImageWithBitmap); }
ToolkitImage* ProgramArt(UINT id) { return LoadImage(GetModuleHandleW(nullptr), id, ImageWithBitmap); }

} // namespace

void PictureButton::SetImages(ToolkitImage* normal, ToolkitImage* pressed) {
    m_normal = normal;
    m_pressed = pressed;
    Invalidate();
}

void PictureButton::PaintWin(HDC dc, const RECT& rect) {
    ToolkitImage* image = ShowsPressed() && m_pressed ? m_pressed : m_normal;
    SIZE size = ImageSize(image);
    int x = rect.left + (rect.right - rect.left - size.cx) / 2, y = rect.top + (rect.bottom - rect.top - size.cy) / 2;
    DrawImage(image, dc, RECT{x, y, x + size.cx, y + size.cy}, false, false);
}

MainWnd::MainWnd() = default;
MainWnd::~MainWnd() = default;

BOOL MainWnd::OnInitDialog() {
    if (!CFtHostWnd::OnInitDialog())
        return FALSE;
    m_cacheFolder = ReadCacheFolder();
    int width = GetWidth(), height = GetHeight();

    // Added in this order: a later control lies above an earlier one (the search box
    // and the mode buttons over the banner, the hint and the tool bar over the list).
    AddControl(m_banner, 0, 0, 0, width, BannerHeight);
    m_banner.SetImage(ProgramArt(BannerImage));

    AddControl(m_searchBox, SearchBoxId, 10, 3, width - 73, 60);
    // Typing by finger: the compact keyboard comes up with the focus, above the toolbar,
    // and leaves the search button in view.
    m_searchBox.SetKeyboard(9, ToolbarHeight);

    AddControl(m_clearButton, ClearButtonId, 423, 5, 53, 57);
    m_clearButton.SetImages(ProgramArt(ClearImage), ProgramArt(ClearPressedImage));

    AddControl(m_videoButton, VideoButtonId, 80, 68, 130, 54);
    AddControl(m_albumButton, AlbumButtonId, 250, 68, 130, 54);
    m_videoButton.SetText(L"视频");
    m_albumButton.SetText(L"专辑");
    for (UiIconButton* button : {&m_videoButton, &m_albumButton}) {
        button->SetKind(ModeButtonKind);
        button->SetTextColour(ModeTextColour);
    }
    ShowSearchMode();

    AddControl(m_searchButton, SearchButtonId, 90, 130, 300, 100);
    m_searchButton.SetText(L"搜索");
    m_searchButton.SetKind(SearchButtonKind);

    AddControl(m_providers, ProviderListId, 0, 240, width, height - 275);
    for (ProviderEntry& entry : ProviderTable())
        m_providers.AddProvider(std::move(entry));
    m_providers.SetSelectedIndex(0);
    m_providers.SetScrollMode(2);
    m_providers.SetNotifyMouse(true);

    AddControl(m_rankingHint, 0, 25, 540, width - 40, 30);
    m_rankingHint.SetText(L"双击列表项进入Top排行");
    m_rankingHint.SetTextFormat(DT_CENTER | DT_WORDBREAK);

    AddControl(m_toolbar, ToolbarId, 0, height - ToolbarHeight, width, ToolbarHeight);
    for (UINT image : {ExitImage, ChannelsImage, FavouritesImage, SettingsImage})
        m_toolbar.AddButton(ProgramArt(image));
    m_toolbar.SetSelected(-1);

    CreateProgramFolders();
    ReadNetworkSettings();
    // Posted: the prompt comes up once the window is on the screen.
    if (m_network.autoConnect == 1)
        Post(WM_NETWORK_PROMPT, 0, 0);
    return TRUE;
}

void MainWnd::OnFtCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case ToolbarId: OnToolbarCommand(static_cast<int>(lParam)); break;
    case SearchButtonId: Search(); break;
    case VideoButtonId: SetSearchMode(VideoSearch); break;
    case AlbumButtonId: SetSearchMode(AlbumSearch); break;
    case ClearButtonId: ClearSearchText(); break;
    default: break;
    }
}

void MainWnd::OnToolbarCommand(int button) {
    switch (button) {
    // The exit question may be declined: the selection stays until it is answered.
    case ExitButton: OnExitCommand(); break;
    case ChannelsButton:
        ClearToolbarSelection();
        OnChannelsCommand();
        break;
    case FavouritesButton:
        ClearToolbarSelection();
        OnFavouritesCommand();
        break;
    case SettingsButton:
        ClearToolbarSelection();
        OnSettingsCommand();
        break;
    default: break;
    }
}

void MainWnd::OnChannelsCommand() {
    ChannelListWnd channels;
    channels.SetFeedback(m_feedback);
    if (RunSideWindow(channels, m_hWnd) == 1 && !channels.ResultPath().empty())
        OpenInBrowser(channels.ResultPath());
}

void MainWnd::OnFavouritesCommand() {
    FavoriteWnd favourites;
    favourites.SetFeedback(m_feedback);
    if (favourites.Run(m_hWnd) == 1 && !favourites.ResultPath().empty())
        OpenInBrowser(favourites.ResultPath());
}

void MainWnd::OnExitCommand() {
    if (m_feedback->MessageBox(m_hWnd, L"是否退出软件？", L"", MessageBoxYesNo) == ResultYes) {
        ShutDownNetworkAtExit(*m_feedback, m_hWnd, m_network);
        PostQuitMessage(0);
        return;
    }
    ClearToolbarSelection();
}

void MainWnd::OnSettingsCommand() {
    SettingWnd settings;
    settings.SetFeedback(m_feedback);
    if (settings.Run(m_hWnd) != 1)
        return;
    ReadNetworkSettings();
    if (m_network.autoConnect == 1)
        Post(WM_NETWORK_PROMPT, 0, 0);
}

void MainWnd::OnNetworkPrompt() { RunConnectPrompt(*m_feedback, m_hWnd, m_network); }

void MainWnd::End() {
    if (std::exchange(m_ended, true))
        return;
    OnWindowEnd();
}

void MainWnd::OnWindowEnd() {
    ShutDownNetworkAtDestruction(m_hWnd, m_network);
    CleanCacheAtExit(m_hWnd, *m_feedback, m_cacheFolder);
}

LRESULT MainWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_FT_MOUSE && LOWORD(wParam) == ProviderListId) {
        OnProviderMouse(HIWORD(wParam), GET_Y_LPARAM(lParam));
        return 0;
    }
    if (message == WM_NETWORK_PROMPT) {
        OnNetworkPrompt();
        return 0;
    }
    if (message == WM_DESTROY)
        End();
    return CFtHostWnd::WindowProc(message, wParam, lParam);
}

// A tap anywhere ends text entry; a tap on the search box gives it the focus again on
// the release.
void MainWnd::OnLButtonDown(UINT, int, int) { m_searchBox.SetFocus(false); }

void MainWnd::OnProviderMouse(int event, int y) {
    if (event != FtMouseDown && event != FtMouseDoubleClick)
        return;
    // The finger moving the rows, or stopping them, chooses none.
    if (m_providers.IsMoving())
        return;
    int row = m_providers.HitTestItem(y);
    if (row < 0)
        return;
    m_providers.SetSelectedIndex(row);
    m_providers.Refresh();
    if (event != FtMouseDoubleClick || !NetworkAvailable())
        return;
    const ProviderEntry* provider = m_providers.Provider(row);
    if (!provider || provider->ranking.empty() || !m_browser)
        return;
    m_browser->SetRequestedAddress(provider->ranking.c_str());
    OpenInBrowser(provider->ranking);
}

void MainWnd::Search() {
    m_searchBox.FinishComposition();
    std::wstring text = m_searchBox.GetText();
    if (text.empty()) {
        ShowError(L"查询内容不能为空！");
        return;
    }
    if (!NetworkAvailable())
        return;
    int row = m_providers.GetSelectedIndex();
    const ProviderEntry* provider = m_providers.Provider(row);
    if (!provider)
        return;
    m_searchTitle = text + L"-" + provider->name;
    std::wstring address = SearchAddress(*provider, row, m_searchMode, text);
    if (!m_browser)
        return;
    m_browser->SetRequestedAddress(address.c_str());
    OpenInBrowser(m_browser->RequestedAddress().C_Str());
}

bool MainWnd::NetworkAvailable() {
    if (QueryNetWorkStatus() != NetworkStatusNone)
        return true;
    ShowError(L"未找到可用网络！");
    return false;
}

int MainWnd::ShowError(const wchar_t* text) { return m_feedback->MessageBox(m_hWnd, text, L"错误", MessageBoxOk); }

void MainWnd::SetSearchMode(int mode) {
    m_searchMode = mode;
    ShowSearchMode();
    m_videoButton.Update();
    m_albumButton.Update();
}

void MainWnd::ShowSearchMode() {
    bool video = m_searchMode == VideoSearch;
    m_videoButton.SetImages(ToolkitArt(video ? MarkChosenImage : MarkNotChosenImage), nullptr);
    m_albumButton.SetImages(ToolkitArt(video ? MarkNotChosenImage : MarkChosenImage), nullptr);
}

void MainWnd::ClearSearchText() {
    m_searchBox.SetText(L"");
    m_searchBox.Invalidate();
    m_searchBox.Update();
}

void MainWnd::ClearToolbarSelection() {
    m_toolbar.SetSelected(-1);
    m_toolbar.Invalidate();
    m_toolbar.Update();
}

void MainWnd::OpenInBrowser(const std::wstring& address) {
    if (!m_browser)
        return;
    AnimateWindow(*m_browser, OpenAnimation, true);
    m_browser->Navigate(address);
    m_browser->Show(true, true);
}

void MainWnd::ReadNetworkSettings() {
    std::wstring file = ProgramFolderPath(L"\\Data\\Setting.ini");
    IniReadInt(L"Network", L"AutoConnect", m_network.autoConnect, file.c_str());
    IniReadInt(L"Network", L"IsWLAN", m_network.isWlan, file.c_str());
}
