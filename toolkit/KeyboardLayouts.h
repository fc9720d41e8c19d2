#pragma once
// The key layouts of the two on-screen keyboards: each a letters page (with the 中/英
// key) and a page of digits and the punctuation of web addresses and searches. A row is 20 half-key
// units wide (24 pixels each on the 480-pixel board), so a one-unit key is 48 pixels
// wide less the gap between keys.

#include "platform/base/Win32Types.h"

#include <vector>

// Language switches the letters between English and pinyin.
enum class KeyAction { Type, Shift, Backspace, Enter, Space, Hide, Letters, Symbols, Language };

struct KeyDef {
    KeyAction action;
    wchar_t character;    // for Type keys; 0 for the others
    const wchar_t* label; // null: the character is the label
    int halves;           // width in half-key units
};

struct KeyRowDef {
    int indent; // half-key units left empty before the first key
    std::vector<KeyDef> keys;
};

struct KeyboardPage {
    std::vector<KeyRowDef> rows;
};

struct KeyboardLayout {
    int kind;
    SIZE size;
    KeyboardPage letters;
    KeyboardPage symbols;
};

constexpr int KeyboardCompact = 9;
constexpr int KeyboardFull = 10;
constexpr int RowHalves = 20;

// The layout of keyboard kind 9 (compact, 480 × 291) or 10 (full, 480 × 359); null for
// any other kind.
const KeyboardLayout* LayoutOfKind(int kind);
