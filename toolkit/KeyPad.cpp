#include "toolkit/KeyPad.h"

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "toolkit/ControlLook.h"
#include "toolkit/GdiGuards.h"
#include "toolkit/Theme.h"

#include <string>

namespace {

constexpr int KeyGap = 4; // between two keys of a row
constexpr int RowGap = 6; // between rows, and above the first and below the last
constexpr int KeyRadius = 7;
constexpr int LetterSize = 28, WordSize = 21;

constexpr COLORREF BoardColour = RGB(0xD9, 0xDC, 0xE1);
constexpr COLORREF KeyColour = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF SpecialKeyColour = RGB(0xAE, 0xB5, 0xBF);
constexpr COLORREF PressedKeyColour = RGB(0x8F, 0xBC, 0xEC);
constexpr COLORREF ShadowColour = RGB(0x9A, 0xA0, 0xA8);
constexpr COLORREF LabelColour = RGB(0x1F, 0x23, 0x29);
constexpr COLORREF ActiveLabelColour = RGB(0x00, 0x73, 0xD7);
constexpr COLORREF InactiveLabelColour = RGB(0x5C, 0x63, 0x6E);

bool IsLetter(wchar_t c) { return c >= L'a' && c <= L'z'; }

void DrawLabel(HDC dc, RECT rect, const std::wstring& label, int size, COLORREF colour) {
    SelectedObject font(dc, GetFont(size, FW_NORMAL, false, false, FontUpright));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    // No prefix processing: "&" is a key of its own.
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace

KeyPad::KeyPad(const KeyboardLayout& layout) : m_layout(layout) {}

void KeyPad::SetPos(int x, int y, int width, int height, UINT flags) {
    UiWin::SetPos(x, y, width, height, flags);
    PlaceKeys();
}

void KeyPad::PlaceKeys() {
    m_keys.clear();
    const KeyboardPage& page = m_symbols ? m_layout.symbols : m_layout.letters;
    int rows = static_cast<int>(page.rows.size());
    if (rows == 0 || m_width <= 0 || m_height <= 0)
        return;
    int half = m_width / RowHalves;
    int rowHeight = (m_height - RowGap * (rows + 1)) / rows;
    for (int r = 0; r < rows; ++r) {
        const KeyRowDef& row = page.rows[static_cast<std::size_t>(r)];
        int top = RowGap + r * (rowHeight + RowGap);
        // The gaps are shared between neighbours, and the edges go to the outer keys,
        // so that no touch on the board falls between keys.
        int cellTop = r == 0 ? 0 : top - RowGap / 2;
        int cellBottom = r == rows - 1 ? m_height : top + rowHeight + RowGap - RowGap / 2;
        int x = row.indent * half;
        for (std::size_t k = 0; k < row.keys.size(); ++k) {
            const KeyDef& def = row.keys[k];
            int right = x + def.halves * half;
            RECT face{x + KeyGap / 2, top, right - KeyGap / 2, top + rowHeight};
            RECT cell{k == 0 ? 0 : x, cellTop, k + 1 == row.keys.size() ? m_width : right, cellBottom};
            m_keys.push_back(PlacedKey{def, face, cell});
            x = right;
        }
    }
}

int KeyPad::KeyAt(int x, int y) const {
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        if (PtInRect(&m_keys[i].cell, POINT{x, y}))
            return static_cast<int>(i);
    }
    return -1;
}

std::optional<RECT> KeyPad::FindKey(KeyAction action, wchar_t character) const {
    for (const PlacedKey& key : m_keys) {
        if (key.def.action == action && (action != KeyAction::Type || key.def.character == character))
            return key.face;
    }
    return std::nullopt;
}

wchar_t KeyPad::CharacterOf(const KeyDef& key) const {
    if (key.action == KeyAction::Space)
        return L' ';
    if (m_shift && IsLetter(key.character))
        return static_cast<wchar_t>(key.character - L'a' + L'A');
    return key.character;
}

void KeyPad::OnLButtonDown(UINT flags, int x, int y) {
    UiWin::OnLButtonDown(flags, x, y);
    Press(x, y);
}

// Quick taps on one key arrive as a double click: each is a key press all the same.
void KeyPad::OnLButtonDblClk(UINT flags, int x, int y) {
    UiWin::OnLButtonDblClk(flags, x, y);
    Press(x, y);
}

void KeyPad::Press(int x, int y) {
    int index = KeyAt(x, y);
    SetPressedKey(index);
    if (index >= 0)
        PlayKeySound();
}

void KeyPad::OnMouseMove(UINT flags, int x, int y) {
    UiWin::OnMouseMove(flags, x, y);
    if (m_pressed)
        SetPressedKey(KeyAt(x, y));
}

void KeyPad::OnLButtonUp(UINT flags, int x, int y) {
    int index = m_pressedKey;
    SetPressedKey(-1);
    UiWin::OnLButtonUp(flags, x, y);
    if (index >= 0 && !m_cancelled)
        Activate(m_keys[static_cast<std::size_t>(index)].def);
}

void KeyPad::CancelPress() {
    SetPressedKey(-1);
    UiWin::OnLButtonUp(0, 0, 0);
}

void KeyPad::SetPressedKey(int index) {
    if (index == m_pressedKey)
        return;
    InvalidateKey(m_pressedKey);
    m_pressedKey = index;
    InvalidateKey(index);
    Update();
}

void KeyPad::InvalidateKey(int index) {
    if (index < 0 || index >= static_cast<int>(m_keys.size()))
        return;
    RECT area = m_keys[static_cast<std::size_t>(index)].face;
    InflateRect(&area, 1, 3); // the shadow below the face
    Invalidate(&area);
}

void KeyPad::Activate(KeyDef key) {
    if (m_chinese && Compose(key))
        return;
    switch (key.action) {
    case KeyAction::Type:
    case KeyAction::Space:
        if (m_target)
            m_target->OnChar(CharacterOf(key), 1);
        if (m_shift && IsLetter(key.character)) {
            m_shift = false;
            Invalidate();
        }
        break;
    case KeyAction::Backspace:
        if (m_target)
            m_target->OnChar(L'\b', 1);
        break;
    case KeyAction::Enter:
        if (m_target)
            m_target->OnChar(L'\r', 1);
        break;
    case KeyAction::Shift:
        m_shift = !m_shift;
        Invalidate();
        break;
    case KeyAction::Symbols: ShowPage(true); break;
    case KeyAction::Letters: ShowPage(false); break;
    case KeyAction::Hide:
        if (m_hide)
            m_hide();
        break;
    case KeyAction::Language: SwitchLanguage(); break;
    }
}

bool KeyPad::Compose(const KeyDef& key) {
    bool letter = key.action == KeyAction::Type && IsLetter(key.character) && !m_shift;
    if (letter && PinyinEngine::Shared().Available()) {
        // A full composition is typed as best read first: the engine takes no more.
        if (m_composer.IsFull())
            TypeText(m_composer.TakeFirst());
        m_composer.AddLetter(static_cast<char>(key.character));
        ComposerChanged();
        return true;
    }
    if (m_composer.IsComposing()) {
        switch (key.action) {
        case KeyAction::Backspace:
            m_composer.Backspace();
            ComposerChanged();
            return true;
        case KeyAction::Space:
            TypeText(m_composer.TakeFirst());
            ComposerChanged();
            return true;
        case KeyAction::Enter:
            TypeText(m_composer.TakeLetters());
            ComposerChanged();
            return true;
        case KeyAction::Type:
            // Punctuation or a capital ends the composition with its best reading; what
            // follows it is no word.
            TypeText(m_composer.TakeFirst());
            m_composer.Clear();
            ComposerChanged();
            return false;
        default: return false;
        }
    }
    // Any other key ends the follow-on words.
    if (m_composer.OffersFollowOns() && key.action != KeyAction::Symbols && key.action != KeyAction::Letters) {
        m_composer.Clear();
        ComposerChanged();
    }
    return false;
}

void KeyPad::ChooseCandidate(std::size_t index) {
    PlayKeySound();
    TypeText(m_composer.Choose(index));
    ComposerChanged();
}

void KeyPad::FinishComposition(bool bestReading) {
    if (!m_composer.IsComposing() && !m_composer.OffersFollowOns())
        return;
    TypeText(bestReading ? m_composer.TakeFirst() : m_composer.TakeLetters());
    m_composer.Clear();
    ComposerChanged();
}

void KeyPad::SwitchLanguage() {
    FinishComposition(false);
    m_chinese = !m_chinese;
    Invalidate();
}

void KeyPad::TypeText(const std::wstring& text) {
    if (!m_target)
        return;
    for (wchar_t character : text)
        m_target->OnChar(character, 1);
}

void KeyPad::ComposerChanged() {
    if (m_composerChanged)
        m_composerChanged();
}

void KeyPad::ShowPage(bool symbols) {
    m_symbols = symbols;
    m_shift = false;
    PlaceKeys();
    Invalidate();
}

void KeyPad::PaintWin(HDC dc, const RECT& rect) {
    FillSolid(dc, rect, BoardColour);
    POINT origin{rect.left, rect.top};
    for (std::size_t i = 0; i < m_keys.size(); ++i)
        DrawKey(dc, m_keys[i], origin, static_cast<int>(i) == m_pressedKey);
}

void KeyPad::DrawKey(HDC dc, const PlacedKey& key, POINT origin, bool pressed) const {
    RECT face = key.face;
    OffsetRect(&face, origin.x, origin.y);
    bool plain = key.def.action == KeyAction::Type || key.def.action == KeyAction::Space;
    bool shiftOn = key.def.action == KeyAction::Shift && m_shift;
    COLORREF colour = pressed ? PressedKeyColour : (plain || shiftOn) ? KeyColour : SpecialKeyColour;
    RECT shadow = face;
    OffsetRect(&shadow, 0, 2);
    FillRounded(dc, shadow, KeyRadius, ShadowColour, ShadowColour);
    FillRounded(dc, face, KeyRadius, colour, colour);
    if (key.def.action == KeyAction::Language) {
        DrawLanguageLabel(dc, face);
        return;
    }
    std::wstring label = key.def.label ? std::wstring(key.def.label) : std::wstring(1, CharacterOf(key.def));
    DrawLabel(dc, face, label, key.def.label ? WordSize : LetterSize, shiftOn ? ActiveLabelColour : LabelColour);
}

// "中" and "英" side by side, the language the letters type in blue.
void KeyPad::DrawLanguageLabel(HDC dc, const RECT& face) const {
    int middle = (face.left + face.right) / 2;
    RECT left{face.left, face.top, middle, face.bottom}, right{middle, face.top, face.right, face.bottom};
    DrawLabel(dc, left, L"中", WordSize, m_chinese ? ActiveLabelColour : InactiveLabelColour);
    DrawLabel(dc, right, L"英", WordSize, m_chinese ? InactiveLabelColour : ActiveLabelColour);
}
