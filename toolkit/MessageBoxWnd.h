#pragma once
// The message box: a text on a dark panel over what the screen showed before, with one,
// two or three buttons by type, modal on the calling thread (any thread). The shell's
// lock and shut-down events, and message 0x1001 with lParam 1, close it with 0.

#include "toolkit/FtHostWnd.h"
#include "toolkit/PanelPainter.h"
#include "toolkit/UiButton.h"

#include <functional>
#include <string>

class MessageBoxWnd : public CFtHostWnd {
public:
    static constexpr int PanelWidth = 428, PanelHeight = 280;
    static constexpr UINT CloseMessage = 0x1001;

    MessageBoxWnd(std::wstring text, std::wstring caption, UINT type);
    ~MessageBoxWnd() override;

    const wchar_t* GetFtClassName() const override { return L"FtMessageBox"; }
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFtCommand(WPARAM wParam, LPARAM lParam) override;
    void PaintWin(HDC dc, const RECT& rect) override;
    void Destroy();

    const std::wstring& Text() const { return m_text; }
    const std::wstring& Caption() const { return m_caption; }
    UINT Type() const { return m_type; }
    // The buttons shown, left to right (null past the last).
    const UiButton* Button(int index) const;

    // Called on the box's thread once it is up (for tests and the demo); null for none.
    static void SetShownObserver(std::function<void(MessageBoxWnd&)> observer);

private:
    void PlaceButtons();

    std::wstring m_text;
    std::wstring m_caption; // kept, not drawn
    UINT m_type;
    int m_buttonCount = 0;
    UiButton m_buttons[3];
    ScreenSnapshot m_snapshot;
    bool m_announced = false;
    bool m_observed = false; // the shown observer has seen the box
};

enum class ButtonWord { Ok, Cancel, Yes, No, Retry, Abort, Ignore };
struct ButtonSpec {
    UINT id;
    ButtonWord word;
};
// The buttons of a message box type, left to right; an id of 0 ends the row (at most 3).
const ButtonSpec* ButtonsOf(UINT type);
// A button's word in the user interface's language: English for 0x0409, Chinese for
// 0x0804, none for any other.
std::wstring ButtonCaption(ButtonWord word);
// The result a button's command id gives.
int ResultOfCommand(UINT commandId);

// Builds, shows and runs a message box full screen over `parent`; its result, 0 when the
// box cannot be made. `homeKeyAnswer` is what the box does on the home key (see CFtWnd's
// OnShellHomeKey).
int ShowMessageBox(HWND parent, const std::wstring& text, const std::wstring& caption, UINT type, int homeKeyAnswer);

// The program's end: every message box up, on any thread, closes with 0, and every one
// asked for from now on returns 0 without showing, until AllowMessageBoxes.
void EndMessageBoxes();
void AllowMessageBoxes();
