#pragma once
// An on-screen keyboard: a hidden child window of a host window, at the bottom of the
// work area, whose keys type into one control of that host. The candidate bar of its
// pinyin mode runs along its top, above the keys. It is a host window of its
// own (its own WinManager and back buffer), so that pressing its keys never takes the
// focus from the control it types into.
//
// Created, shown, hidden and destroyed on the host window's thread by the text box that
// owns it; the window goes with the object.

#include "toolkit/CandidateBar.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/KeyPad.h"

#include <optional>

class OnScreenKeyboard : public CFtHostWnd {
public:
    // `layout` is one of LayoutOfKind's, which live for the process.
    explicit OnScreenKeyboard(const KeyboardLayout& layout);
    ~OnScreenKeyboard() override;

    const wchar_t* GetFtClassName() const override { return L"FtKeyboard"; }
    BOOL OnInitDialog() override;
    void OnSize(int width, int height) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // For scripts that tap as a finger does, sent from any thread: where on the screen a
    // key of the page shown is (wParam: its KeyAction, lParam: its character) or a
    // candidate of the bar is (lParam: a const wchar_t* of its text), as MAKELPARAM(x, y);
    // 0 when there is none, or a candidate lies beyond the bar's ends.
    static UINT FindKeyMessage();
    static UINT FindCandidateMessage();

    // Creates the hidden window `bottomOffset` pixels above the bottom of the work area
    // (−1: none).
    bool CreateFor(HWND host, int bottomOffset);
    void SetTarget(UiWin* target) { m_pad.SetTarget(target); }
    void ShowKeyboard();
    void HideKeyboard();
    bool IsShown() const;
    int Kind() const { return m_layout.kind; }
    KeyPad& Pad() { return m_pad; }
    // A key of the page shown (KeyPad::FindKey), in the keyboard window's co-ordinates.
    std::optional<RECT> FindKey(KeyAction action, wchar_t character = 0) const;
    CandidateBar& Bar() { return m_bar; }

private:
    void LayOut(int width, int height);

    const KeyboardLayout& m_layout;
    CandidateBar m_bar;
    KeyPad m_pad;
};
