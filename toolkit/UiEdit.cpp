#include "toolkit/UiEdit.h"

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "platform/window/Clipboard.h"
#include "platform/window/WindowApi.h"
#include "toolkit/ControlLook.h"
#include "toolkit/GdiGuards.h"
#include "toolkit/KeyboardLayouts.h"
#include "toolkit/OnScreenKeyboard.h"
#include "toolkit/Theme.h"
#include "toolkit/TouchLoupe.h"
#include "toolkit/WinManager.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

constexpr WPARAM BackspaceCharacter = 8, LineFeed = 10, CarriageReturn = 13;
constexpr WPARAM VkEnd = 0x23, VkHome = 0x24, VkLeft = 0x25, VkRight = 0x27;
constexpr LPARAM ReportDeleted = 3, ReportNothingToDelete = 4;
constexpr UINT BlinkMilliseconds = 500;
constexpr int CaretWidth = 2;
constexpr int FieldRadius = 8;
constexpr COLORREF FieldColour = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF CaretColour = RGB(0x00, 0x73, 0xD7);

// A line of text has no place for the C0 and C1 controls or DEL.
bool IsControl(wchar_t c) { return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0); }

LPARAM TypedReport(WPARAM character) { return static_cast<LPARAM>((character << 16) | 1); }

class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : m_open(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (m_open)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool IsOpen() const { return m_open; }

private:
    bool m_open;
};

std::wstring ClipboardText(HWND owner) {
    OpenedClipboard clipboard(owner);
    if (!clipboard.IsOpen())
        return {};
    const auto* text = static_cast<const wchar_t*>(GetClipboardData(CF_UNICODETEXT));
    return text ? std::wstring(text) : std::wstring();
}

void PutOnClipboard(HWND owner, const wchar_t* text) {
    OpenedClipboard clipboard(owner);
    if (!clipboard.IsOpen())
        return;
    EmptyClipboard();
    // The clipboard copies the text and keeps no handle to it.
    SetClipboardData(CF_UNICODETEXT, const_cast<wchar_t*>(text));
}

// Offsets of every character boundary: [0] = 0, [n] = the width of the whole text.
std::vector<int> Offsets(HDC dc, const wchar_t* text, int length) {
    std::vector<int> offsets(static_cast<std::size_t>(length) + 1, 0);
    if (length > 0) {
        SIZE size{};
        GetTextExtentExPointW(dc, text, length, INT_MAX, nullptr, offsets.data() + 1, &size);
    }
    return offsets;
}

} // namespace

UiEdit::UiEdit() {
    m_textColour = GetThemeColour(SYSCLR_EDIT_TEXT);
    m_textFormat = DT_VCENTER | DT_SINGLELINE;
    m_holdEnabled = true;
    m_holdDelay = 400;
    m_canTakeFocus = true;
    m_loupe = &TouchLoupe::Shared();
}

UiEdit::~UiEdit() {
    CloseLoupe();
    HWND host = GetHostWindow();
    if (host && IsWindow(host))
        KillTimer(host, BlinkTimer());
}

// Painting

void UiEdit::PaintWin(HDC dc, const RECT& rect) {
    if (m_drawBackground)
        FillRounded(dc, rect, FieldRadius, FieldColour, FieldBorderColour);
    SelectedObject font(dc, TextFont());
    int length = Length();
    std::vector<int> offsets = Offsets(dc, m_text.C_Str(), length);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    int top = (m_textFormat & DT_VCENTER) ? rect.top + (m_height - metrics.tmHeight) / 2 : rect.top;
    int left = rect.left + TextLeft(offsets.back());
    RECT area{rect.left + Padding, rect.top, rect.right - Padding, rect.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, m_textColour);
    // Drawn by advances, as measured, not through DrawTextW: "&" in an address is no prefix.
    ExtTextOutW(dc, left, top, ETO_CLIPPED, &area, m_text.C_Str(), static_cast<UINT>(length), nullptr);
    if (HasFocus() && m_caretOn) {
        int x = left + offsets[static_cast<std::size_t>(GetCaret())] - CaretWidth / 2;
        x = std::min(std::max(x, static_cast<int>(area.left) - CaretWidth / 2),
                     static_cast<int>(area.right) - CaretWidth);
        FillSolid(dc, RECT{x, top + 2, x + CaretWidth, top + metrics.tmHeight - 2}, CaretColour);
    }
}

std::vector<int> UiEdit::Boundaries() const {
    MeasuringContext context(TextFont());
    return Offsets(context.Get(), m_text.C_Str(), Length());
}

int UiEdit::TextAreaWidth() const { return std::max(0, m_width - 2 * Padding); }

bool UiEdit::Fits(int width) const { return width + CaretWidth <= TextAreaWidth(); }

int UiEdit::TextLeft(int width) const {
    if (!Fits(width))
        return Padding - m_scroll;
    return Padding + ((m_textFormat & DT_CENTER) ? (TextAreaWidth() - width) / 2 : 0);
}

void UiEdit::ScrollToCaret() {
    std::vector<int> offsets = Boundaries();
    int width = offsets.back();
    if (Fits(width)) {
        m_scroll = 0;
        return;
    }
    int area = TextAreaWidth();
    int caret = offsets[static_cast<std::size_t>(GetCaret())];
    if (caret - m_scroll > area - CaretWidth)
        m_scroll = caret - area + CaretWidth;
    if (caret - m_scroll < 0)
        m_scroll = caret;
    // No empty space after the end while the text is longer than the box.
    m_scroll = std::clamp(m_scroll, 0, width + CaretWidth - area);
}

// The caret

int UiEdit::GetCaret() const { return (m_caret < 0 || m_caret > Length()) ? Length() : m_caret; }

void UiEdit::StoreCaret(int index) { m_caret = index >= Length() ? -1 : std::max(0, index); }

void UiEdit::SetCaret(int index) {
    StoreCaret(index);
    m_caretOn = true;
    ScrollToCaret();
    Invalidate();
}

void UiEdit::PlaceCaretAt(int x) {
    std::vector<int> offsets = Boundaries();
    int along = x - TextLeft(offsets.back());
    std::size_t nearest = 0;
    for (std::size_t i = 1; i < offsets.size(); ++i) {
        if (std::abs(offsets[i] - along) < std::abs(offsets[nearest] - along))
            nearest = i;
    }
    SetCaret(static_cast<int>(nearest));
}

// Editing

void UiEdit::Report(LPARAM code) {
    if (HWND host = GetHostWindow())
        PostMessageW(host, WM_FT_EDIT_REPORT, m_id, code);
}

void UiEdit::Changed() {
    m_caretOn = true;
    ScrollToCaret();
    Invalidate();
    Update();
}

void UiEdit::InsertAtCaret(const std::wstring& piece) {
    int at = GetCaret();
    std::wstring text = m_text.C_Str();
    text.insert(static_cast<std::size_t>(at), piece);
    m_text.Assign(text.c_str());
    StoreCaret(at + static_cast<int>(piece.size()));
    Changed();
}

void UiEdit::DeleteBeforeCaret() {
    if (Length() == 0) {
        Report(ReportNothingToDelete);
        return;
    }
    int at = GetCaret();
    if (at > 0) {
        std::wstring text = m_text.C_Str();
        text.erase(static_cast<std::size_t>(at - 1), 1);
        m_text.Assign(text.c_str());
        StoreCaret(at - 1);
        Changed();
    }
    Report(ReportDeleted);
}

LRESULT UiEdit::OnChar(WPARAM character, LPARAM) {
    if (character == BackspaceCharacter) {
        DeleteBeforeCaret();
        return 0;
    }
    if (character == LineFeed || character == CarriageReturn) {
        Report(TypedReport(character));
        return 0;
    }
    // Other control characters (a Tab, an Escape) have no meaning in one line of text.
    if (IsControl(static_cast<wchar_t>(character)) || Length() >= m_maxLength)
        return 0;
    InsertAtCaret(std::wstring(1, static_cast<wchar_t>(character)));
    Report(TypedReport(character));
    return 0;
}

LRESULT UiEdit::OnKeyDown(WPARAM key, LPARAM lParam) {
    WPARAM previous = m_lastKey;
    m_lastKey = key;
    if (key == VK_V && lParam == 1 && previous == VK_CONTROL)
        Paste();
    else if (key == VkLeft)
        SetCaret(GetCaret() - 1);
    else if (key == VkRight)
        SetCaret(GetCaret() + 1);
    else if (key == VkHome)
        SetCaret(0);
    else if (key == VkEnd)
        SetCaret(Length());
    return 0;
}

// Line breaks and other controls are dropped: the box holds one line. What does not
// fit under the maximum length is cut off.
void UiEdit::Paste() {
    std::wstring pasted = ClipboardText(GetHostWindow());
    std::erase_if(pasted, IsControl);
    std::size_t room = static_cast<std::size_t>(std::max(0, m_maxLength - Length()));
    if (pasted.size() > room)
        pasted.resize(room);
    if (pasted.empty())
        return;
    InsertAtCaret(pasted);
    Report(TypedReport(static_cast<WPARAM>(pasted.back())));
}

void UiEdit::OnPaste() { Paste(); }

void UiEdit::OnCopy() {
    if (!m_text.IsEmpty())
        PutOnClipboard(GetHostWindow(), m_text.C_Str());
}

void UiEdit::OnCut() {
    if (m_text.IsEmpty())
        return;
    OnCopy();
    m_text.Assign(L"");
    m_caret = -1;
    Changed();
    Report(ReportDeleted);
}

void UiEdit::SetText(const wchar_t* text) {
    m_text.Assign(text);
    m_caret = -1;
    ScrollToCaret();
    Invalidate();
}

// Settings

void UiEdit::SetPos(int x, int y, int width, int height, UINT flags) {
    UiWin::SetPos(x, y, width, height, flags);
    ScrollToCaret();
}

void UiEdit::SetEditStyle(UINT flags, bool on) {
    m_style = on ? (m_style | flags) : (m_style & ~flags);
    if (m_style & StyleCentred)
        m_textFormat |= DT_CENTER;
    else
        m_textFormat &= ~DT_CENTER;
    ScrollToCaret();
    Invalidate();
}

void UiEdit::SetDrawBackground(bool draw) {
    m_drawBackground = draw;
    Invalidate();
}

void UiEdit::SetKeyboard(int kind, int bottomOffset) {
    m_keyboard.reset();
    m_keyboardKind = kind;
    m_keyboardOffset = bottomOffset;
    EnsureKeyboard();
    if (HasFocus())
        ShowKeyboard();
}

bool UiEdit::EnsureKeyboard() {
    if (m_keyboard)
        return true;
    const KeyboardLayout* layout = LayoutOfKind(m_keyboardKind);
    HWND host = GetHostWindow();
    if (!layout || !host)
        return false;
    auto keyboard = std::make_unique<OnScreenKeyboard>(*layout);
    if (!keyboard->CreateFor(host, m_keyboardOffset))
        return false;
    keyboard->SetTarget(this);
    m_keyboard = std::move(keyboard);
    return true;
}

void UiEdit::ShowKeyboard() {
    if (EnsureKeyboard())
        m_keyboard->ShowKeyboard();
}

// Focus and the finger

void UiEdit::OnSetFocus(UiWin*) {
    m_caretOn = true;
    if (HWND host = GetHostWindow())
        SetTimer(host, BlinkTimer(), BlinkMilliseconds, nullptr);
    ShowKeyboard();
    Invalidate();
}

void UiEdit::OnKillFocus(UiWin*) {
    if (HWND host = GetHostWindow())
        KillTimer(host, BlinkTimer());
    if (m_keyboard)
        m_keyboard->HideKeyboard();
    Invalidate();
}

LRESULT UiEdit::OnTimer(UINT_PTR timerId) {
    if (timerId != BlinkTimer())
        return 0;
    if (HasFocus()) {
        m_caretOn = !m_caretOn;
        Invalidate();
    }
    return 1;
}

void UiEdit::OnLButtonDown(UINT flags, int x, int y) {
    UiWin::OnLButtonDown(flags, x, y);
    PlaceCaretAt(x);
}

void UiEdit::OnLButtonDblClk(UINT flags, int x, int y) {
    UiWin::OnLButtonDblClk(flags, x, y);
    PlaceCaretAt(x);
}

// The caret follows the finger along the text, under the loupe when it is open.
void UiEdit::OnMouseMove(UINT flags, int x, int y) {
    UiWin::OnMouseMove(flags, x, y);
    if (!m_pressed)
        return;
    PlaceCaretAt(x);
    if (m_loupeOpen && m_loupe) {
        // The loupe copies the screen: the caret's new place must be on it first.
        Update();
        m_loupe->Follow(ToScreen(x, y));
    }
}

// The box takes the focus itself: the WinManager gives it only to a press that did not
// move, and a finger placing the caret moves.
void UiEdit::OnLButtonUp(UINT flags, int x, int y) {
    bool tapped = m_pressed && !m_cancelled && x >= 0 && y >= 0 && x < m_width && y < m_height;
    UiWin::OnLButtonUp(flags, x, y);
    CloseLoupe();
    if (!tapped || !m_canTakeFocus || !m_enabled)
        return;
    if (!HasFocus())
        SetFocus(true);
    else
        ShowKeyboard(); // its hide key may have put it away
}

void UiEdit::OnHeld() {
    WinManager* manager = GetWinManager();
    if (!m_loupe || m_loupeOpen || !manager)
        return;
    POINT last = manager->LastPosition();
    POINT local = WindowToClient(last.x, last.y);
    m_loupeOpen = true;
    m_loupe->Open(*this, ToScreen(local.x, local.y));
}

void UiEdit::FinishComposition() {
    if (m_keyboard)
        m_keyboard->Pad().FinishComposition(true);
}

void UiEdit::SetLoupe(EditLoupe* loupe) {
    CloseLoupe();
    m_loupe = loupe;
}

void UiEdit::CloseLoupe() {
    if (!m_loupeOpen)
        return;
    m_loupeOpen = false;
    if (m_loupe)
        m_loupe->Close(*this);
}

POINT UiEdit::ToScreen(int x, int y) {
    POINT point = ClientToWindow(x, y);
    if (HWND host = GetHostWindow())
        ClientToScreen(host, &point);
    return point;
}
