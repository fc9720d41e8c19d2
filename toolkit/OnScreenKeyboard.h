#pragma once
// An on-screen keyboard: a hidden child window of a host window, at the bottom of the
// work area, whose keys type into one control of that host. It is a host window of its
// own (its own WinManager and back buffer), so that pressing its keys never takes the
// focus from the control it types into.
//
// Created, shown, hidden and destroyed on the host window's thread by the text box that
// owns it; the window goes with the object.

#include "toolkit/FtHostWnd.h"
#include "toolkit/KeyPad.h"

class OnScreenKeyboard : public CFtHostWnd {
public:
    // `layout` is one of LayoutOfKind's, which live for the process.
    explicit OnScreenKeyboard(const KeyboardLayout& layout);
    ~OnScreenKeyboard() override;

    const wchar_t* GetFtClassName() const override { return L"FtKeyboard"; }
    BOOL OnInitDialog() override;
    void OnSize(int width, int height) override;

    // Creates the hidden window `bottomOffset` pixels above the bottom of the work area
    // (−1: none).
    bool CreateFor(HWND host, int bottomOffset);
    void SetTarget(UiWin* target) { m_pad.SetTarget(target); }
    void ShowKeyboard();
    void HideKeyboard();
    bool IsShown() const;
    int Kind() const { return m_layout.kind; }
    KeyPad& Pad() { return m_pad; }

private:
    const KeyboardLayout& m_layout;
    KeyPad m_pad;
};
