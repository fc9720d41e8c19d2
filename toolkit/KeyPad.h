#pragma once
// The keys of an on-screen keyboard as one control: it places the keys of its layout's
// current page, finds the key under the finger itself, highlights the pressed key
// (following the finger from key to key) and acts on the key the finger is lifted
// from. Typing goes to the target control's OnChar, as a hardware keyboard's would.
//
// The 中/英 key switches the letters to pinyin: letters then compose, and what is typed
// comes from the candidates (a tap on one, space for the best, enter for the letters as
// they are); backspace takes back the composition first. A key that types anything
// else types the best reading first, and hiding the keyboard types the letters, so
// that nothing composed is lost.
//
// Lives on its keyboard window's thread; the target must outlive the pad or be
// cleared first (the text box that owns the keyboard is its target).

#include "toolkit/KeyboardLayouts.h"
#include "toolkit/PinyinComposer.h"
#include "toolkit/UiWin.h"

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class KeyPad : public UiWin {
public:
    explicit KeyPad(const KeyboardLayout& layout);

    void SetTarget(UiWin* target) { m_target = target; }
    // What the hide key does.
    void SetHideAction(std::function<void()> hide) { m_hide = std::move(hide); }
    // Told whenever the composition or the candidates change.
    void SetComposerChanged(std::function<void()> changed) { m_composerChanged = std::move(changed); }
    const PinyinComposer& Composer() const { return m_composer; }
    bool IsChinese() const { return m_chinese; }
    // A candidate of the bar was chosen.
    void ChooseCandidate(std::size_t index);
    // The composition ends: its best reading, or the characters chosen and the letters
    // after them, is typed (the keyboard going away, the window reading the box).
    void FinishComposition(bool bestReading);

    void SetPos(int x, int y, int width, int height, UINT flags = 0) override;
    void PaintWin(HDC dc, const RECT& rect) override;
    void OnLButtonDown(UINT flags, int x, int y) override;
    void OnLButtonDblClk(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    void OnLButtonUp(UINT flags, int x, int y) override;

    // The first key of the current page with that action (and, for a Type key, that
    // character), in control co-ordinates.
    std::optional<RECT> FindKey(KeyAction action, wchar_t character = 0) const;
    // Forgets a press in progress: the keyboard is going away under the finger.
    void CancelPress();
    bool IsSymbolsPage() const { return m_symbols; }
    bool IsShifted() const { return m_shift; }

private:
    struct PlacedKey {
        KeyDef def;
        RECT face; // what is drawn
        RECT cell; // what is hit: the face and its share of the gaps around it
    };

    void PlaceKeys();
    int KeyAt(int x, int y) const;
    void Press(int x, int y);
    void SetPressedKey(int index);
    void InvalidateKey(int index);
    // By value: a change of page replaces the placed keys.
    void Activate(KeyDef key);
    void ShowPage(bool symbols);
    wchar_t CharacterOf(const KeyDef& key) const;
    void DrawKey(HDC dc, const PlacedKey& key, POINT origin, bool pressed) const;
    void DrawLanguageLabel(HDC dc, const RECT& face) const;
    // A key pressed in pinyin mode; false when it is not the composition's to take.
    bool Compose(const KeyDef& key);
    void SwitchLanguage();
    void TypeText(const std::wstring& text);
    void ComposerChanged();

    const KeyboardLayout& m_layout;
    bool m_symbols = false;
    bool m_shift = false; // one letter in capitals, then off again
    std::vector<PlacedKey> m_keys;
    int m_pressedKey = -1;
    UiWin* m_target = nullptr;
    std::function<void()> m_hide;
    bool m_chinese = false;
    PinyinComposer m_composer{PinyinEngine::Shared()};
    std::function<void()> m_composerChanged;
};
