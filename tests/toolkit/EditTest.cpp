#include "toolkit/FtHostWnd.h"
#include "toolkit/KeyPad.h"
#include "toolkit/OnScreenKeyboard.h"
#include "toolkit/ToolkitMessages.h"
#include "toolkit/UiEdit.h"

#include "platform/window/Clipboard.h"
#include "platform/window/Input.h"
#include "platform/window/WindowApi.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr UINT EditId = 2030;
constexpr WPARAM VkLeft = 0x25, VkEnd = 0x23;

// A window with one text box at (10, 3), 400 × 60, keeping the box's reports.
class EditWindow : public CFtHostWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"EditTestWnd"; }
    BOOL OnInitDialog() override {
        CFtHostWnd::OnInitDialog();
        edit = std::make_unique<UiEdit>();
        edit->SetID(EditId);
        GetWinManager().AddChild(edit.get());
        edit->SetPos(10, 3, 400, 60);
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_FT_EDIT_REPORT && wParam == EditId)
            reports.push_back(lParam);
        return CFtHostWnd::WindowProc(message, wParam, lParam);
    }

    std::unique_ptr<UiEdit> edit;
    std::vector<LPARAM> reports;
};

struct LoupeEvent {
    std::string what;
    POINT at;
};

class FakeLoupe : public EditLoupe {
public:
    void Open(UiEdit& box, POINT finger) override {
        opened = &box;
        events.push_back({"open", finger});
    }
    void Follow(POINT finger) override { events.push_back({"follow", finger}); }
    void Close(UiEdit&) override { events.push_back({"close", {}}); }

    UiEdit* opened = nullptr;
    std::vector<LoupeEvent> events;
};

LPARAM Typed(wchar_t character) { return (static_cast<LPARAM>(character) << 16) | 1; }

class EditTest : public ::testing::Test {
protected:
    EditTest() {
        EXPECT_TRUE(window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0));
        ShowWindow(window.GetHwnd(), SW_SHOW);
        Pump();
    }

    static void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    // As the desktop's keyboard types: WM_CHAR to the window with the system focus.
    static void Type(const std::wstring& text) {
        for (wchar_t character : text)
            platform::InjectCharacter(character);
        Pump();
    }
    static void Key(WPARAM key, LPARAM lParam = 0) {
        platform::InjectKey(WM_KEYDOWN, key, lParam);
        Pump();
    }
    static void Tap(POINT screen) {
        platform::InjectTouch(platform::TouchPhase::Down, screen);
        platform::InjectTouch(platform::TouchPhase::Up, screen);
        Pump();
    }
    static void TapKey(OnScreenKeyboard& keyboard, KeyAction action, wchar_t character = 0) {
        std::optional<RECT> key = keyboard.FindKey(action, character);
        ASSERT_TRUE(key.has_value());
        RECT place = keyboard.GetWindowRect();
        Tap(POINT{place.left + (key->left + key->right) / 2, place.top + (key->top + key->bottom) / 2});
    }
    static void PutOnClipboard(const wchar_t* text) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        SetClipboardData(CF_UNICODETEXT, const_cast<wchar_t*>(text));
        CloseClipboard();
    }
    UiEdit& Edit() { return *window.edit; }
    std::vector<LPARAM>& Reports() { return window.reports; }

    TemporaryRoot root; // first made, last gone: the window reads the theme from it
    EditWindow window;
};

TEST_F(EditTest, TypingReportsEachCharacterAndBackspaceDeletesBeforeTheCaret) {
    Edit().SetFocus(true);
    Type(L"ab\u4E2D\r\x1B\t"); // Enter inserts nothing; Escape and Tab are no text
    EXPECT_STREQ(Edit().GetText(), L"ab\u4E2D");
    EXPECT_EQ(Reports(), (std::vector<LPARAM>{Typed(L'a'), Typed(L'b'), Typed(L'\u4E2D'), Typed(L'\r')}));
    Reports().clear();

    Key(VkLeft);
    Type(L"\b");
    EXPECT_STREQ(Edit().GetText(), L"a\u4E2D");
    Type(L"\b\b"); // the second finds nothing before the caret, and still reports 3
    EXPECT_STREQ(Edit().GetText(), L"\u4E2D");
    Key(VkEnd);
    Type(L"\b\b");
    EXPECT_STREQ(Edit().GetText(), L"");
    EXPECT_EQ(Reports(), (std::vector<LPARAM>{3, 3, 3, 3, 4}));
}

TEST_F(EditTest, TheMaximumLengthStopsTypingAndCutsAPaste) {
    Edit().SetMaxLength(5);
    Edit().SetFocus(true);
    Type(L"abcdef\r");
    EXPECT_STREQ(Edit().GetText(), L"abcde");
    ASSERT_EQ(Reports().size(), 6u); // no report for "f"; Enter is still reported
    EXPECT_EQ(Reports().back(), Typed(L'\r'));

    Edit().SetText(L"ab");
    Reports().clear();
    PutOnClipboard(L"12\r\n3456789");
    SendMessageW(window.GetHwnd(), WM_PASTE, 0, 0);
    Pump();
    EXPECT_STREQ(Edit().GetText(), L"ab123");
    EXPECT_EQ(Reports(), (std::vector<LPARAM>{Typed(L'3')}));
    SendMessageW(window.GetHwnd(), WM_PASTE, 0, 0);
    Pump();
    EXPECT_STREQ(Edit().GetText(), L"ab123");
    EXPECT_EQ(Reports().size(), 1u);
}

TEST_F(EditTest, ControlVPastesAtTheCaretOnlyRightAfterTheControlKey) {
    Edit().SetText(L"ac");
    Edit().SetFocus(true);
    Edit().SetCaret(1);
    PutOnClipboard(L"b");
    Key(VK_V, 1);
    EXPECT_STREQ(Edit().GetText(), L"ac");
    Key(VK_CONTROL);
    Key(VK_V, 1);
    EXPECT_STREQ(Edit().GetText(), L"abc");
    EXPECT_EQ(Edit().GetCaret(), 2);
    Key(VK_V, 1);
    EXPECT_STREQ(Edit().GetText(), L"abc");
    EXPECT_EQ(Reports(), (std::vector<LPARAM>{Typed(L'b')}));
}

TEST_F(EditTest, TapsPlaceTheCaretAtTheNearestBoundaryOfTheScrolledText) {
    Edit().SetText(L"abcdef");
    Tap(POINT{10 + UiEdit::Padding + 1, 30});
    EXPECT_EQ(Edit().GetCaret(), 0);
    Tap(POINT{400, 30});
    EXPECT_EQ(Edit().GetCaret(), 6);

    // Far wider than the box: the end is in view, the start scrolled out at the left.
    Edit().SetText(std::wstring(100, L'm').c_str());
    Tap(POINT{10 + UiEdit::Padding + 1, 30});
    int caret = Edit().GetCaret();
    EXPECT_GT(caret, 0);
    EXPECT_LT(caret, 100);
    Type(L"X");
    EXPECT_EQ(std::wstring(Edit().GetText()).find(L'X'), static_cast<std::size_t>(caret));
}

TEST_F(EditTest, ATapShowsTheKeyboardWhoseKeysTypeIntoTheBox) {
    RECT work = CFtWnd::GetWorkArea();
    Edit().SetKeyboard(KeyboardFull, 50);
    ASSERT_NE(Edit().GetKeyboard(), nullptr);
    EXPECT_EQ(Edit().GetKeyboard()->GetWindowRect().top, work.bottom - 50 - 359);
    Edit().SetKeyboard(KeyboardCompact, -1);
    OnScreenKeyboard* keyboard = Edit().GetKeyboard();
    ASSERT_NE(keyboard, nullptr);
    EXPECT_EQ(GetParent(keyboard->GetHwnd()), window.GetHwnd());
    RECT place = keyboard->GetWindowRect();
    EXPECT_EQ(place.bottom, work.bottom);
    EXPECT_EQ(place.bottom - place.top, 291);
    EXPECT_FALSE(keyboard->IsShown());

    Tap(POINT{200, 30});
    EXPECT_TRUE(Edit().HasFocus());
    ASSERT_TRUE(keyboard->IsShown());
    TapKey(*keyboard, KeyAction::Type, L'q');
    TapKey(*keyboard, KeyAction::Type, L'q'); // quick and in place: a double click
    TapKey(*keyboard, KeyAction::Shift);
    TapKey(*keyboard, KeyAction::Type, L'a');
    TapKey(*keyboard, KeyAction::Type, L'a');
    TapKey(*keyboard, KeyAction::Backspace);
    EXPECT_STREQ(Edit().GetText(), L"qqA");
    EXPECT_EQ(Reports().back(), 3);

    TapKey(*keyboard, KeyAction::Hide);
    EXPECT_FALSE(keyboard->IsShown());
    EXPECT_TRUE(Edit().HasFocus());
    Tap(POINT{200, 30});
    EXPECT_TRUE(keyboard->IsShown());
    Edit().SetFocus(false);
    EXPECT_FALSE(keyboard->IsShown());
}

TEST_F(EditTest, AHoldOpensTheLoupeWhichFollowsTheFingerUntilItIsLiftedOrTheBoxGoes) {
    // Moved down, so that window and screen co-ordinates differ.
    MoveWindow(window.GetHwnd(), 0, 40, 480, 680, TRUE);
    FakeLoupe loupe;
    Edit().SetLoupe(&loupe);
    platform::InjectTouch(platform::TouchPhase::Down, POINT{100, 60});
    Pump();
    EXPECT_TRUE(loupe.events.empty());
    SendMessageW(window.GetHwnd(), WM_TIMER, FtHoldTimer, 0); // the hold delay is over
    platform::InjectTouch(platform::TouchPhase::Move, POINT{130, 62});
    platform::InjectTouch(platform::TouchPhase::Up, POINT{130, 62});
    Pump();
    ASSERT_EQ(loupe.events.size(), 3u);
    EXPECT_EQ(loupe.opened, &Edit());
    EXPECT_EQ(loupe.events[0].what, "open");
    EXPECT_EQ(loupe.events[0].at.x, 100);
    EXPECT_EQ(loupe.events[0].at.y, 60);
    EXPECT_EQ(loupe.events[1].what, "follow");
    EXPECT_EQ(loupe.events[1].at.x, 130);
    EXPECT_EQ(loupe.events[1].at.y, 62);
    EXPECT_EQ(loupe.events[2].what, "close");

    platform::InjectTouch(platform::TouchPhase::Down, POINT{100, 60});
    Pump();
    SendMessageW(window.GetHwnd(), WM_TIMER, FtHoldTimer, 0);
    ASSERT_EQ(loupe.events.size(), 4u);
    window.edit.reset();
    ASSERT_EQ(loupe.events.size(), 5u);
    EXPECT_EQ(loupe.events[4].what, "close");
    platform::InjectTouch(platform::TouchPhase::Up, POINT{100, 60});
    Pump();
}

} // namespace
