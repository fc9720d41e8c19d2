#pragma once
// The single-line text box. Characters come through OnChar, from the desktop's keyboard
// (WM_CHAR routed by the WinManager to the focus control) or from the box's own
// on-screen keyboard; every change is reported to the host window as WM_FT_EDIT_REPORT
// (wParam = id, lParam = code):
//   (ch << 16) | 1  a character was typed (ch inserted), or Enter (10 or 13) was pressed;
//                   a paste reports once, with the last character it inserted;
//   3               backspace (the character before the caret, if any, deleted) or a cut;
//   4               backspace on an empty text.
// The caret is a character index, −1 standing for "after the last character"; the text
// scrolls sideways so that the caret stays in view. Copy and cut take the whole text:
// the box has no selection.
//
// Lives on its host window's thread. The keyboard window belongs to the box and goes
// with it; the loupe does not: it is the toolkit's shared touch loupe unless another is
// set, and whoever sets one keeps it alive while it is set.

#include "toolkit/ToolkitMessages.h"
#include "toolkit/UiWin.h"

#include <memory>
#include <string>
#include <vector>

class OnScreenKeyboard;
class UiEdit;

// The magnified view a press-and-hold opens over the text box. Points are in screen
// co-ordinates (the loupe draws above every window).
class EditLoupe {
public:
    virtual ~EditLoupe() = default;
    virtual void Open(UiEdit& edit, POINT finger) = 0;
    virtual void Follow(POINT finger) = 0;
    // The box that opened the loupe is done with it (a loupe opened since by another box
    // stays).
    virtual void Close(UiEdit& edit) = 0;
};

class UiEdit : public UiWin {
public:
    static constexpr int Padding = 25;
    static constexpr int DefaultMaxLength = 128;
    static constexpr UINT StyleCentred = 0x02; // a flag of SetEditStyle

    UiEdit();
    ~UiEdit() override;

    void PaintWin(HDC dc, const RECT& rect) override;
    void OnLButtonDown(UINT flags, int x, int y) override;
    void OnLButtonDblClk(UINT flags, int x, int y) override;
    void OnLButtonUp(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    LRESULT OnTimer(UINT_PTR timerId) override;
    void OnSetFocus(UiWin* previous) override;
    void OnKillFocus(UiWin* next) override;
    // Control followed by "V" with lParam 1 pastes; Left, Right, Home and End move the
    // caret.
    LRESULT OnKeyDown(WPARAM key, LPARAM lParam) override;
    // Control characters other than backspace and Enter are dropped unreported.
    LRESULT OnChar(WPARAM character, LPARAM lParam) override;
    void OnHeld() override;
    void OnPressLost() override { CloseLoupe(); }
    void OnPaste() override;
    void OnCopy() override;
    void OnCut() override;
    // Replaces the text (not cut to the maximum length) and puts the caret after it;
    // nothing is reported.
    void SetText(const wchar_t* text) override;
    void SetPos(int x, int y, int width, int height, UINT flags = 0) override;

    void SetMaxLength(int length) { m_maxLength = length < 0 ? 0 : length; }
    int GetMaxLength() const { return m_maxLength; }
    // Switches the given style flags on (or off): flag 2 centres the text, flag 0x20 is
    // kept for the window that sets it and changes nothing in the box.
    void SetEditStyle(UINT flags, bool on = true);
    UINT GetEditStyle() const { return m_style; }
    // Kind 9: the compact keyboard, 10: the full one, any other: none. The keyboard
    // window is made as soon as the box has a host window, else when it first takes
    // the focus.
    void SetKeyboard(int kind, int bottomOffset);
    OnScreenKeyboard* GetKeyboard() const { return m_keyboard.get(); }
    // A pinyin composition on the box's keyboard is typed as its best reading: windows
    // call it before they read the text (their buttons never take the focus, so the box
    // does not hear of them).
    void FinishComposition();
    // Null: no loupe.
    void SetLoupe(EditLoupe* loupe);
    // Off for a box laid over a field its window already draws.
    void SetDrawBackground(bool draw);
    // The caret as a character index, 0 … length (never −1).
    int GetCaret() const;
    void SetCaret(int index);

private:
    // Not the control timer FtControlTimer + id: a list of the same id would share it.
    UINT_PTR BlinkTimer() const { return FtCaretTimer + m_id; }
    int Length() const { return static_cast<int>(m_text.Length()); }
    // Stores a caret index, the end as −1.
    void StoreCaret(int index);
    void Report(LPARAM code);
    // Repaints now and keeps the caret in view: after every change of the text.
    void Changed();
    void InsertAtCaret(const std::wstring& piece);
    void DeleteBeforeCaret();
    void Paste();
    // Widths of the text's first 0, 1, … n characters in the box's font.
    std::vector<int> Boundaries() const;
    int TextAreaWidth() const;
    // Whether a text `width` pixels wide fits the box with the caret after it.
    bool Fits(int width) const;
    // Where the text starts, in control co-ordinates, for a text `width` pixels wide.
    int TextLeft(int width) const;
    void ScrollToCaret();
    void PlaceCaretAt(int x);
    bool EnsureKeyboard();
    void ShowKeyboard();
    void CloseLoupe();
    POINT ToScreen(int x, int y);

    int m_maxLength = DefaultMaxLength;
    int m_caret = -1;
    int m_scroll = 0; // pixels of text hidden at the left
    UINT m_style = 0;
    bool m_drawBackground = true;
    bool m_caretOn = true; // the blink's phase
    WPARAM m_lastKey = 0;
    int m_keyboardKind = 0;
    int m_keyboardOffset = -1;
    std::unique_ptr<OnScreenKeyboard> m_keyboard;
    EditLoupe* m_loupe = nullptr;
    bool m_loupeOpen = false;
};
