#include "app/BrowserCoreUi.h"

#include "app/BrowserWnd.h"
#include "platform/window/WindowApi.h"

HWND BrowserCoreUi::OwnerWindow() { return m_browser.GetHwnd(); }

void BrowserCoreUi::PostShowPlaylist() { PostMessageW(m_browser.GetHwnd(), WM_SHOW_PLAYLIST, 0, 0); }

void BrowserCoreUi::Navigate(const std::wstring& address) { m_browser.ShowWrittenPage(address); }
