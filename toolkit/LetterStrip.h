#pragma once
// A column of the letters A to Z for jumping through a long list: a finger pressed or
// moved on it picks the letter at its height; each new letter redraws the strip and
// posts its command (code 0, the letter's index as the argument) to the window, which
// then asks for the letter. The finger may drift sideways off the strip while it
// slides; only its height counts.
//
// Controls belong to the thread of their host window; nothing here is locked.

#include "toolkit/UiWin.h"

#include <string>

class LetterStrip : public UiWin {
public:
    static constexpr int LetterCount = 26;

    LetterStrip();

    void PaintWin(HDC dc, const RECT& rect) override;
    void OnLButtonDown(UINT flags, int x, int y) override;
    void OnLButtonDblClk(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    void OnLButtonUp(UINT flags, int x, int y) override;

    // The chosen letter's index, -1 before any.
    int GetIndex() const { return m_index; }
    // The chosen letter as a one-letter string; empty before any.
    std::wstring GetLetter() const;

    // The letter at height `y` of a strip `height` pixels high, clamped to 0 ... 25; -1
    // when the strip is too short to hold the letters.
    static int LetterIndexAt(int y, int height);

private:
    void Choose(int y);
    RECT LetterCell(const RECT& strip, int index) const;

    int m_index = -1;
};
