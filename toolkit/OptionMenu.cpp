#include "toolkit/OptionMenu.h"

#include "toolkit/GdiGuards.h"
#include "toolkit/ShellNotify.h"
#include "toolkit/Theme.h"

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "platform/window/WindowApi.h"

#include <algorithm>

namespace {

constexpr DWORD ShellNotifyOptionMenu = 292;
constexpr COLORREF White = RGB(255, 255, 255);
constexpr int ItemTextSize = 28;
constexpr int TitleTextSize = 28;
constexpr int TitleHeight = 56;
constexpr int TitleMargin = 20;
// The panel reaches this far above the top item.
constexpr int PanelMargin = 14;
// Before turning: the items' left and right margin, and the first item's top above the bottom.
constexpr int NarrowMargin = 8;
constexpr int NarrowBottom = 109;
constexpr int TurnedMargin = 20;
// The turned layout's screen, each way at most.
constexpr int MaxScreenSide = 720;
// Device events close only menus wider than this.
constexpr int EventClosesAbove = 480;
constexpr int WidePanelWidth = 720;

// The shell's event messages are registered ones, numbered from 0xC000: anything
// else is not compared (the call message's number is asked for anew each time).
bool IsDeviceEvent(UINT message) {
    if (message < 0xC000 || message > 0xFFFF)
        return false;
    return message == CallMessageId() || message == LockphoneMessageId() || message == ShutDownMessageId() ||
           message == MusicMessageId();
}

} // namespace

OptionMenu::~OptionMenu() {
    // The window goes before the buttons its control tree points at.
    Destroy();
}

void OptionMenu::AddItem(const wchar_t* text, UINT id, int kind) { m_items.push_back(Item{text, id, kind}); }

int OptionMenu::Run(HWND parent, const RECT& area) {
    int result = 0;
    if (Create(area.left, area.top, area.right - area.left, area.bottom - area.top, parent, nullptr, WS_POPUP, 0))
        result = DoModal();
    Destroy();
    m_background.Release();
    return result;
}

BOOL OptionMenu::OnInitDialog() {
    CFtHostWnd::OnInitDialog();
    ShellNotifyRegister(m_hWnd, ShellNotifyOptionMenu);
    m_turned = m_turnPending = false;
    m_background.Release();
    m_buttons.clear();
    for (const Item& item : m_items) {
        auto button = std::make_unique<UiButton>();
        button->SetText(item.text.C_Str());
        button->SetTextColour(White);
        button->SetPressedTextColour(White);
        button->SetTextSize(ItemTextSize);
        button->SetKind(item.kind);
        button->SetID(item.id);
        GetWinManager().AddChild(button.get());
        m_buttons.push_back(std::move(button));
    }
    PlaceButtons();
    return TRUE;
}

void OptionMenu::PlaceButtons() {
    int width = GetWidth(), height = GetHeight();
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        int row = static_cast<int>(i);
        if (m_turned)
            m_buttons[i]->SetPos(TurnedMargin, height - ItemHeight * (row + 1), width - 2 * TurnedMargin, ItemHeight);
        else
            m_buttons[i]->SetPos(NarrowMargin, height - NarrowBottom - ItemHeight * row, width - 2 * NarrowMargin,
                                 ItemHeight);
    }
}

void OptionMenu::Turn() {
    int screenWidth = std::min(GetSystemMetrics(SM_CXSCREEN), MaxScreenSide);
    int screenHeight = std::min(GetSystemMetrics(SM_CYSCREEN), MaxScreenSide);
    int height = std::min(GetHeight(), screenHeight);
    POINT corner{0, screenHeight - height}; // a pop-up is placed on the screen, owner or not
    m_turned = true;
    // What lies under the window at a new place is taken again on the next paint; in
    // the same place the screen shows the menu itself, and the first copy stays.
    RECT now = GetWindowRect();
    if (now.left != corner.x || now.top != corner.y || now.right - now.left != screenWidth ||
        now.bottom - now.top != height)
        m_background.Release();
    MoveWindow(m_hWnd, corner.x, corner.y, screenWidth, height, TRUE);
    PlaceButtons();
}

int OptionMenu::ButtonsTop() const { return m_buttons.empty() ? GetHeight() : m_buttons.back()->GetY(); }

RECT OptionMenu::TitleBand() const {
    int top = ButtonsTop();
    return RECT{TitleMargin, top - TitleHeight, GetWidth() - TitleMargin, top};
}

RECT OptionMenu::PanelRect() const {
    int top = ButtonsTop();
    if (!m_title.IsEmpty())
        top -= TitleHeight;
    if (!m_buttons.empty() || !m_title.IsEmpty())
        top -= PanelMargin;
    return RECT{0, std::max(top, 0), GetWidth(), GetHeight()};
}

void OptionMenu::DrawBackground(HDC dc) const {
    RECT panel = PanelRect();
    if (panel.top >= panel.bottom)
        return;
    DrawPanel(dc, panel, GetWidth() >= WidePanelWidth ? PanelStyle::Wide : PanelStyle::Sheet);
    if (m_title.IsEmpty())
        return;
    SelectedObject font(dc, GetFont(TitleTextSize, 400, false, false, FontUpright));
    SetTextColor(dc, White);
    SetBkMode(dc, TRANSPARENT);
    RECT band = TitleBand();
    DrawTextW(dc, m_title.C_Str(), -1, &band, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

LRESULT OptionMenu::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TurnMessage) {
        m_turnPending = true;
        Invalidate(nullptr, false);
        return 0;
    }
    if (IsDeviceEvent(message)) {
        if (GetWidth() > EventClosesAbove)
            EndModal(0);
        return 0;
    }
    return CFtHostWnd::WindowProc(message, wParam, lParam);
}

void OptionMenu::OnPaint(HDC dc, const PAINTSTRUCT& paint) {
    if (m_turnPending) {
        m_turnPending = false;
        Turn();
        // The window has a new place and size: the paint that follows covers all of it.
        Invalidate(nullptr, false);
        return;
    }
    CFtHostWnd::OnPaint(dc, paint);
}

void OptionMenu::PaintWin(HDC dc, const RECT& rect) {
    // The screen as it was, then the panel where the buttons are now.
    m_background.Take(m_hWnd, GetWidth(), GetHeight());
    m_background.Draw(dc, rect);
    DrawBackground(dc);
    CFtHostWnd::PaintWin(dc, rect);
}

void OptionMenu::OnFtCommand(WPARAM wParam, LPARAM) {
    UINT id = LOWORD(wParam);
    for (const auto& button : m_buttons) {
        if (button->GetID() == id) {
            EndModal(static_cast<int>(id));
            return;
        }
    }
}
