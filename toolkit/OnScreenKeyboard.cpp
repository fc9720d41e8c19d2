#include "toolkit/OnScreenKeyboard.h"

#include "platform/gdi/GdiApi.h"
#include "platform/window/WindowApi.h"

#include <algorithm>
#include <optional>

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
    GetWinManager().AddChild(&m_bar);
    GetWinManager().AddChild(&m_pad);
    RECT client = GetClientRect();
    LayOut(client.right, client.bottom);
    m_pad.SetHideAction([this] { HideKeyboard(); });
    m_bar.SetComposer(&m_pad.Composer());
    m_bar.SetChooseAction([this](std::size_t index) { m_pad.ChooseCandidate(index); });
    m_pad.SetComposerChanged([this] { m_bar.Changed(); });
    return TRUE;
}

void OnScreenKeyboard::OnSize(int width, int height) {
    CFtHostWnd::OnSize(width, height);
    LayOut(width, height);
}

// The keys make room for the bar: the keyboard keeps its size.
void OnScreenKeyboard::LayOut(int width, int height) {
    m_bar.SetPos(0, 0, width, CandidateBar::Height);
    m_pad.SetPos(0, CandidateBar::Height, width, height - CandidateBar::Height);
}

std::optional<RECT> OnScreenKeyboard::FindKey(KeyAction action, wchar_t character) const {
    std::optional<RECT> key = m_pad.FindKey(action, character);
    if (key)
        OffsetRect(&*key, 0, CandidateBar::Height);
    return key;
}

UINT OnScreenKeyboard::FindKeyMessage() {
    static const UINT message = RegisterWindowMessageW(L"Quillora.Keyboard.FindKey");
    return message;
}

UINT OnScreenKeyboard::FindCandidateMessage() {
    static const UINT message = RegisterWindowMessageW(L"Quillora.Keyboard.FindCandidate");
    return message;
}

LRESULT OnScreenKeyboard::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    std::optional<RECT> found;
    if (message == FindKeyMessage()) {
        found = FindKey(static_cast<KeyAction>(wParam), static_cast<wchar_t>(lParam));
    } else if (message == FindCandidateMessage()) {
        const std::vector<std::wstring>& candidates = m_pad.Composer().Candidates();
        auto at =
            std::find(candidates.begin(), candidates.end(), std::wstring(reinterpret_cast<const wchar_t*>(lParam)));
        std::vector<RECT> cells = m_bar.CandidateCells();
        std::size_t index = static_cast<std::size_t>(at - candidates.begin());
        if (index < cells.size() && cells[index].left >= 0 && cells[index].right <= m_bar.GetWidth())
            found = cells[index];
    } else {
        return CFtHostWnd::WindowProc(message, wParam, lParam);
    }
    if (!found)
        return 0;
    POINT centre{(found->left + found->right) / 2, (found->top + found->bottom) / 2};
    ClientToScreen(m_hWnd, &centre);
    return MAKELPARAM(centre.x, centre.y);
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
    m_pad.FinishComposition(false);
    ShowWindow(m_hWnd, SW_HIDE);
}

bool OnScreenKeyboard::IsShown() const { return m_hWnd && IsWindowVisible(m_hWnd); }
