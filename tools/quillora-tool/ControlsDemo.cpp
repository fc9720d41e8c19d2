#include "ControlsDemo.h"

#include "art/ProgramArt.h"
#include "platform/base/Time.h"
#include "platform/device/Module.h"
#include "platform/display/Display.h"
#include "platform/window/WindowApi.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/Image.h"
#include "toolkit/LetterStrip.h"
#include "toolkit/OnScreenKeyboard.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"
#include "toolkit/UiButton.h"
#include "toolkit/UiEdit.h"
#include "toolkit/UiImageButton.h"
#include "toolkit/UiList.h"
#include "toolkit/UiSettingRow.h"
#include "toolkit/UiStatic.h"
#include "toolkit/UiToolBar.h"

#include <initializer_list>
#include <optional>
#include <string>

namespace {

ToolkitImage* Toolkit(UINT id) { return LoadImage(GetResourceModule(), id, ImageWithBitmap); }
ToolkitImage* Program(UINT id) { return LoadImage(GetModuleHandleW(nullptr), id, ImageWithBitmap); }

// One of each simple control, laid out like the program's windows lay them out.
class ControlsWindow : public CFtHostWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"DemoControlsWnd"; }
    BOOL OnInitDialog() override {
        CFtHostWnd::OnInitDialog();
        Add(caption, 0, 0, 480, 42);
        caption.SetText(L"控件 · controls");
        Add(banner, 0, 42, 480, 130);
        banner.SetImage(Program(1005));
        Add(clear, 423, 47, 53, 57);
        clear.SetImages(Program(1006), Program(1007));
        clear.SetLeftPadding(0);
        AddMode(video, L"视频", 80, true);
        AddMode(album, L"专辑", 250, false);
        Add(search, 90, 182, 300, 90);
        search.SetText(L"搜索");
        search.SetKind(5);
        Add(twoLines, 0, 282, 480, 80);
        twoLines.SetText(L"两行按钮");
        twoLines.SetSecondText(L"第二行文字 · a second, smaller line");
        Add(arrowRow, 0, 362, 480, 70);
        arrowRow.SetLabel(L"网络设置");
        arrowRow.SetValue(L"自动连接-WLAN");
        arrowRow.SetArrow(true);
        Add(switchRow, 0, 432, 480, 70);
        switchRow.SetLabel(L"使用内置播放器");
        switchRow.AddSwitch(2029, true);
        Add(hint, 25, 512, 440, 30);
        hint.SetText(L"双击列表项进入Top排行");
        hint.SetTextFormat(0x11);
        Add(bar, 0, 560, 480, 65);
        bar.SetButtonText(0, L"返回");
        bar.SetButtonText(1, L"连续播放");
        bar.SetButtonText(2, L"打开");
        bar.SetButtonEnabled(2, false);
        Add(icons, 0, 655, 480, 65);
        for (UINT id : {1011u, 1012u, 1008u, 1004u})
            icons.AddButton(Program(id));
        icons.SetSelected(2);
        return TRUE;
    }

private:
    void Add(UiWin& control, int x, int y, int width, int height) {
        control.SetPos(x, y, width, height);
        GetWinManager().AddChild(&control);
    }
    void AddMode(UiIconButton& button, const wchar_t* text, int x, bool chosen) {
        Add(button, x, 42 + 68, 130, 54);
        button.SetText(text);
        button.SetTextColour(0x006B5542);
        button.SetImages(Toolkit(chosen ? MarkChosenImage : MarkNotChosenImage), nullptr);
    }

    UiCaption caption;
    UiPicture banner;
    UiIconButton clear, video, album;
    UiButton search;
    UiButtonEx twoLines;
    UiSettingRow arrowRow, switchRow;
    UiStatic hint;
    UiToolBar bar;
    UiImageButton icons;
};

// A search line with a keyboard of the given kind open under it.
class KeyboardWindow : public CFtHostWnd {
public:
    explicit KeyboardWindow(int kind) : m_kind(kind) {}
    const wchar_t* GetFtClassName() const override { return L"DemoKeyboardWnd"; }
    BOOL OnInitDialog() override {
        CFtHostWnd::OnInitDialog();
        caption.SetText(m_kind == 9 ? L"小键盘 · compact keyboard" : L"全键盘 · full keyboard");
        caption.SetPos(0, 0, 480, 42);
        GetWinManager().AddChild(&caption);
        box.SetPos(10, 60, 460, 60);
        box.SetText(L"Quillora 视频 search");
        box.SetKeyboard(m_kind, -1);
        GetWinManager().AddChild(&box);
        return TRUE;
    }
    UiCaption caption;
    UiEdit box;

private:
    int m_kind;
};

bool Shoot(CFtHostWnd& window, const std::filesystem::path& file);

// A list of 200 rows under a caption, a letter strip over its right edge, a tool bar.
class ListWindow : public CFtHostWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"DemoListWnd"; }
    BOOL OnInitDialog() override {
        CFtHostWnd::OnInitDialog();
        caption.SetText(L"列表 · a list of 200 rows");
        caption.SetPos(0, 0, 480, 42);
        list.SetPos(0, 42, 480, 613);
        for (int row = 1; row <= 200; ++row)
            list.AddItem((L"列表项 " + std::to_wstring(row) + L" · row " + std::to_wstring(row)).c_str());
        list.SetSelectedIndex(2);
        strip.SetPos(430, 42, 50, 613);
        bar.SetPos(0, 655, 480, 65);
        bar.SetButtonText(0, L"返回");
        bar.SetButtonText(2, L"打开");
        for (UiWin* control : std::initializer_list<UiWin*>{&caption, &list, &strip, &bar})
            GetWinManager().AddChild(control);
        return TRUE;
    }
    UiCaption caption;
    UiList list;
    LetterStrip strip;
    UiToolBar bar;
};

// Runs the thread's messages (the list's timer among them) for `milliseconds`.
void RunMessages(DWORD milliseconds) {
    DWORD end = GetTickCount() + milliseconds;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(1);
    }
}

// The list at rest with a row chosen, then in the middle of a flick upwards.
bool SaveListScreens(const std::filesystem::path& folder) {
    ListWindow window;
    if (!window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0))
        return false;
    bool saved = Shoot(window, folder / "list.png");
    HWND hwnd = window.GetHwnd();
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 600));
    for (int y = 570; y >= 300; y -= 30) {
        SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, y));
        Sleep(10);
    }
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(200, 300));
    RunMessages(60); // a few ticks into the glide
    saved = platform::SaveScreenshot(folder / "list-fling.png") && saved;
    window.Destroy();
    return saved;
}

// A finger on the middle of a key of the keyboard.
void Tap(OnScreenKeyboard& keyboard, const std::optional<RECT>& key, UINT message) {
    if (!key)
        return;
    POINT middle = keyboard.Pad().ClientToWindow((key->left + key->right) / 2, (key->top + key->bottom) / 2);
    SendMessageW(keyboard.GetHwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(middle.x, middle.y));
}

bool Shoot(CFtHostWnd& window, const std::filesystem::path& file) {
    window.Show(true, true);
    window.Invalidate(nullptr, false);
    window.Update();
    return platform::SaveScreenshot(file);
}

} // namespace

bool SaveControlsScreens(const std::filesystem::path& folder) {
    RegisterProgramArt();
    ControlsWindow controls;
    if (!controls.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0))
        return false;
    bool saved = Shoot(controls, folder / "controls.png");
    controls.Destroy();
    for (int kind : {9, 10}) {
        KeyboardWindow window(kind);
        if (!window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0))
            return false;
        window.Show(true, true);
        window.box.SetFocus(true); // the keyboard comes up with the focus
        saved = Shoot(window, folder / (kind == 9 ? "keyboard-compact.png" : "keyboard-full.png")) && saved;
        if (OnScreenKeyboard* keyboard = window.box.GetKeyboard()) {
            // The second page, with a key held down.
            Tap(*keyboard, keyboard->Pad().FindKey(KeyAction::Symbols), WM_LBUTTONDOWN);
            Tap(*keyboard, keyboard->Pad().FindKey(KeyAction::Symbols), WM_LBUTTONUP);
            std::optional<RECT> key = keyboard->Pad().FindKey(KeyAction::Type, L'@');
            Tap(*keyboard, key, WM_LBUTTONDOWN);
            keyboard->Update();
            saved = platform::SaveScreenshot(
                        folder / (kind == 9 ? "keyboard-compact-symbols.png" : "keyboard-full-symbols.png")) &&
                    saved;
            Tap(*keyboard, key, WM_LBUTTONUP);
        }
        window.Destroy();
    }
    return SaveListScreens(folder) && saved;
}
