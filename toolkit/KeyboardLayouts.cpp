#include "toolkit/KeyboardLayouts.h"

#include <initializer_list>

namespace {

// One key a character, each a whole key wide.
std::vector<KeyDef> Typed(const wchar_t* characters) {
    std::vector<KeyDef> keys;
    for (const wchar_t* c = characters; *c; ++c)
        keys.push_back(KeyDef{KeyAction::Type, *c, nullptr, 2});
    return keys;
}

std::vector<KeyDef> Typed(wchar_t character, int halves) {
    return {KeyDef{KeyAction::Type, character, nullptr, halves}};
}

std::vector<KeyDef> Special(KeyAction action, const wchar_t* label, int halves) {
    return {KeyDef{action, 0, label, halves}};
}

KeyRowDef Row(int indent, std::initializer_list<std::vector<KeyDef>> parts) {
    KeyRowDef row{indent, {}};
    for (const std::vector<KeyDef>& part : parts)
        row.keys.insert(row.keys.end(), part.begin(), part.end());
    return row;
}

const wchar_t* const ShiftLabel = L"\u2191";
const wchar_t* const BackspaceLabel = L"\u2190";
const wchar_t* const HideLabel = L"\u25BC";
const wchar_t* const EnterLabel = L"Enter";
const wchar_t* const LanguageLabel = L"中/英";

// The rows of letters every layout shares, shift and backspace included.
std::vector<KeyRowDef> LetterRows() {
    return {Row(0, {Typed(L"qwertyuiop")}), Row(1, {Typed(L"asdfghjkl")}),
            Row(0, {Special(KeyAction::Shift, ShiftLabel, 3), Typed(L"zxcvbnm"),
                    Special(KeyAction::Backspace, BackspaceLabel, 3)})};
}

KeyboardLayout MakeCompact() {
    KeyboardLayout layout{KeyboardCompact, SIZE{480, 291}, {}, {}};
    layout.letters.rows = LetterRows();
    // An address needs "/" and "." without a change of page.
    layout.letters.rows.push_back(
        Row(0, {Special(KeyAction::Symbols, L"?123", 3), Special(KeyAction::Language, LanguageLabel, 3),
                Special(KeyAction::Hide, HideLabel, 2), Typed(L'/', 2), Special(KeyAction::Space, L"", 4),
                Typed(L'.', 2), Special(KeyAction::Enter, EnterLabel, 4)}));
    layout.symbols.rows = {
        Row(0, {Typed(L"1234567890")}),
        Row(0, {Typed(L"-_/:;@&=?%")}),
        Row(0, {Typed(L"#+~()!,'"), Special(KeyAction::Backspace, BackspaceLabel, 4)}),
        Row(0, {Special(KeyAction::Letters, L"ABC", 3), Special(KeyAction::Hide, HideLabel, 2), Typed(L'"', 2),
                Special(KeyAction::Space, L"", 7), Typed(L'.', 2), Special(KeyAction::Enter, EnterLabel, 4)}),
    };
    return layout;
}

KeyboardLayout MakeFull() {
    KeyboardLayout layout{KeyboardFull, SIZE{480, 359}, {}, {}};
    layout.letters.rows = {Row(0, {Typed(L"1234567890")})};
    for (const KeyRowDef& row : LetterRows())
        layout.letters.rows.push_back(row);
    layout.letters.rows.push_back(
        Row(0, {Special(KeyAction::Symbols, L"#+=", 3), Special(KeyAction::Language, LanguageLabel, 3),
                Special(KeyAction::Hide, HideLabel, 2), Typed(L':', 2), Typed(L'/', 2),
                Special(KeyAction::Space, L"", 3), Typed(L'.', 2), Special(KeyAction::Enter, EnterLabel, 3)}));
    layout.symbols.rows = {
        Row(0, {Typed(L"1234567890")}),
        Row(0, {Typed(L"-_/:;@&=?%")}),
        Row(0, {Typed(L"#+~()!,'\"*")}),
        Row(0, {Typed(L"$[]{}<>\\"), Special(KeyAction::Backspace, BackspaceLabel, 4)}),
        Row(0, {Special(KeyAction::Letters, L"ABC", 3), Special(KeyAction::Hide, HideLabel, 2), Typed(L'^', 2),
                Typed(L'|', 2), Special(KeyAction::Space, L"", 5), Typed(L'.', 2),
                Special(KeyAction::Enter, EnterLabel, 4)}),
    };
    return layout;
}

} // namespace

const KeyboardLayout* LayoutOfKind(int kind) {
    static const KeyboardLayout compact = MakeCompact();
    static const KeyboardLayout full = MakeFull();
    if (kind == KeyboardCompact)
        return &compact;
    if (kind == KeyboardFull)
        return &full;
    return nullptr;
}
