#include "toolkit/OnScreenKeyboard.h"

#include "platform/window/WindowApi.h"

OnScreenKeyboard::OnScreenKeyboard(const KeyboardLayout& layout) : m_layout(layout), m_pad(layout) {
    // The pad covers the whole window: filling below it first would only flicker.
    SetFillBackground(false);
}

// The window goes while the object is still whole, so that no message reaches a
// keyboard half taken apart.
OnScreenKeyboard::~OnScreenKeyboard() { Destroy(); }

bool OnScreenKeyboard::CreateFor(HWND host, int bottomOffset) {
    RECT work = GetWorkArea();
    int offset = bottomOffset < 0 ? 0 : bottomOffset;
    POINT corner{work.left, work.bottom - offset - m_layout.size.cy};
    ScreenToClient(host, &corner);
    return Create(corner.x, corner.y, m_layout.size.cx, m_layout.size.cy, host, nullptr, WS_CHILD, 0);
}

BOOL OnScreenKeyboard::OnInitDialog() {
    CFtHostWnd::OnInitDialog();
    GetWinManager().AddChild(&m_pad);
    RECT client = GetClientRect();
    m_pad.SetPos(0, 0, client.right, client.bottom);
    m_pad.SetHideAction([this] { HideKeyboard(); });
    return TRUE;
}

void OnScreenKeyboard::OnSize(int width, int height) {
    CFtHostWnd::OnSize(width, height);
    m_pad.SetPos(0, 0, width, height);
}

void OnScreenKeyboard::ShowKeyboard() {
    if (!m_hWnd || IsShown())
        return;
    ShowWindow(m_hWnd, SW_SHOWNA);
    Invalidate(nullptr, false);
    Update();
}

void OnScreenKeyboard::HideKeyboard() {
    if (!m_hWnd || !IsShown())
        return;
    m_pad.CancelPress();
    ShowWindow(m_hWnd, SW_HIDE);
}

bool OnScreenKeyboard::IsShown() const { return m_hWnd && IsWindowVisible(m_hWnd); }
