#include "DialogsDemo.h"

#include "platform/base/Time.h"
#include "platform/display/Display.h"
#include "platform/window/DeviceState.h"
#include "platform/window/WindowApi.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/MessageBoxWnd.h"
#include "toolkit/NoticeBoxWnd.h"
#include "toolkit/OptionMenu.h"
#include "toolkit/ProgressDialog.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitMessages.h"
#include "toolkit/UiList.h"
#include "toolkit/UiStatic.h"
#include "toolkit/UiToolBar.h"
#include "toolkit/WaitDialog.h"

#include <atomic>
#include <future>
#include <initializer_list>
#include <string>
#include <thread>

namespace {

// A window like the program's: a caption, a list, a tool bar; what the dialogs lie over.
class BackdropWindow : public CFtHostWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"DemoBackdropWnd"; }
    BOOL OnInitDialog() override {
        CFtHostWnd::OnInitDialog();
        caption.SetText(L"收藏夹");
        caption.SetPos(0, 0, 480, 42);
        list.SetPos(0, 42, 480, 613);
        for (int row = 1; row <= 12; ++row)
            list.AddItem((L"收藏的视频 " + std::to_wstring(row)).c_str());
        bar.SetPos(0, 655, 480, 65);
        bar.SetButtonText(0, L"返回");
        bar.SetButtonText(2, L"打开");
        for (UiWin* control : std::initializer_list<UiWin*>{&caption, &list, &bar})
            GetWinManager().AddChild(control);
        return TRUE;
    }
    UiCaption caption;
    UiList list;
    UiToolBar bar;
};

// Waits for a window of the class made on another thread, and for it to be painted (a
// message sent to it returns only once its thread reads messages again).
HWND AwaitShown(const wchar_t* className) {
    for (int i = 0; i < 2500; ++i) {
        if (HWND window = FindWindowW(className, nullptr)) {
            SendMessageW(window, WM_NULL, 0, 0);
            return window;
        }
        Sleep(2);
    }
    return nullptr;
}

// The backdrop's thread catches up once a dialog has gone: what the dialog covered is
// painted again before the next one takes its snapshot of the screen.
void Restore(HWND backdrop) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    InvalidateRect(backdrop, nullptr, FALSE);
    UpdateWindow(backdrop);
}

bool SaveMessageBoxes(const std::filesystem::path& folder, HWND backdrop) {
    bool saved = true;
    const std::wstring texts[] = {L"查询内容不能为空！", L"确定要退出吗？", L"获取数据失败！\r\n 错误码：12029",
                                  L"是否保存设置？",     L"删除这个收藏？", L"连接服务器失败，重试吗？"};
    for (LANGID language : {LANGID{0x0804}, LANGID{0x0409}}) {
        platform::SetUserInterfaceLanguage(language);
        for (UINT type = 0; type < 6; ++type) {
            auto answer =
                std::async(std::launch::async, [&] { return ShowMessageBox(backdrop, texts[type], L"提示", type, 2); });
            HWND box = AwaitShown(L"FtMessageBox");
            std::string name = "messagebox-" + std::to_string(type) + (language == 0x0409 ? "-en" : "-zh") + ".png";
            saved = box && platform::SaveScreenshot(folder / name) && saved;
            if (box)
                SendMessageW(box, MessageBoxWnd::CloseMessage, 0, 1);
            answer.get();
            Restore(backdrop);
        }
    }
    platform::SetUserInterfaceLanguage(0x0804);
    return saved;
}

bool SaveNotice(const std::filesystem::path& folder, HWND backdrop) {
    auto shown = std::async(std::launch::async, [&] { return ShowNoticeBox(backdrop, L"已添加到收藏夹", 400); });
    HWND notice = AwaitShown(L"FtNoticeBox");
    bool saved = notice && platform::SaveScreenshot(folder / "notice.png");
    shown.get();
    Restore(backdrop);
    return saved;
}

// Three frames of the wait animation, each saved as it comes.
bool SaveWaitFrames(const std::filesystem::path& folder, HWND backdrop) {
    std::atomic<int> savedFrames{0};
    WaitDialog::SetFrameObserver([&](int frame, DWORD) {
        if (frame == 0 || frame == 4 || frame == 8) {
            std::string name = "wait-frame-" + std::to_string(frame) + ".png";
            savedFrames += platform::SaveScreenshot(folder / name) ? 1 : 0;
        }
    });
    ShowWaitDialogWindow(backdrop, nullptr, 1);
    for (int i = 0; i < 500 && savedFrames < 3; ++i)
        Sleep(5);
    CloseWaitDialogWindow();
    WaitDialog::SetFrameObserver(nullptr);
    for (int i = 0; i < 50 && FindWindowW(L"WaitDialog", nullptr); ++i)
        Sleep(2);
    Restore(backdrop);
    return savedFrames == 3;
}

// The option menu as the browser view opens it, then turned to the other layout.
bool SaveOptionMenus(const std::filesystem::path& folder, HWND backdrop) {
    auto chosen = std::async(std::launch::async, [&] {
        OptionMenu menu;
        menu.AddItem(L"取消", 2224, 1);
        menu.AddItem(L"添加到收藏夹", 2026, 2);
        menu.AddItem(L"打开收藏夹", 2027, 5);
        return menu.Run(backdrop, RECT{0, 720 - 313, 480, 720});
    });
    HWND menu = AwaitShown(L"OptionMenu");
    bool saved = menu && platform::SaveScreenshot(folder / "option-menu.png");
    if (menu) {
        // The turn is made on the menu's next paint, which paints once more after it.
        SendMessageW(menu, OptionMenu::TurnMessage, 0, 0);
        for (int round = 0; round < 3; ++round) {
            Sleep(20);
            SendMessageW(menu, WM_NULL, 0, 0);
        }
        saved = platform::SaveScreenshot(folder / "option-menu-turned.png") && saved;
        SendMessageW(menu, WM_FT_COMMAND, 2224, 0);
    }
    chosen.get();
    Restore(backdrop);
    return saved;
}

// The progress dialog at 0, 40 and 100 percent, then with the soft input panel up.
bool SaveProgress(const std::filesystem::path& folder, HWND backdrop) {
    ProgressDescriptor descriptor;
    descriptor.titleLine = L"正在下载视频…";
    descriptor.secondLine = L"功夫熊猫 第1集.flv";
    descriptor.showSecondLine = true;
    descriptor.stopCaption = L"停止";
    descriptor.windowTitle = L"下载";
    descriptor.stopBarHeight = 65;
    descriptor.minimumHeight = 200;
    descriptor.busyTimerPeriod = 1000;
    bool saved = true;
    for (bool inputPanel : {false, true}) {
        platform::SetInputPanel(inputPanel, RECT{0, 400, 480, 720});
        descriptor.position = 0;
        ShowProgressDialogWindow(descriptor, backdrop);
        for (int percent : {0, 40, 100}) {
            descriptor.position = percent;
            RefreshProgressDialogWindow();
            HWND dialog = AwaitShown(L"ProgressDialog");
            std::string name = "progress-" + std::to_string(percent) + (inputPanel ? "-input-panel" : "") + ".png";
            saved = dialog && platform::SaveScreenshot(folder / name) && saved;
        }
        CloseProgressDialogWindow(descriptor);
        for (int i = 0; i < 50 && FindWindowW(L"ProgressDialog", nullptr); ++i)
            Sleep(2);
        Restore(backdrop);
    }
    platform::SetInputPanel(false, RECT{});
    return saved;
}

} // namespace

bool SaveDialogScreens(const std::filesystem::path& folder) {
    BackdropWindow backdrop;
    if (!backdrop.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0))
        return false;
    backdrop.Show(true, true);
    backdrop.Update();
    HWND window = backdrop.GetHwnd();
    bool saved = SaveMessageBoxes(folder, window);
    saved = SaveNotice(folder, window) && saved;
    saved = SaveWaitFrames(folder, window) && saved;
    saved = SaveOptionMenus(folder, window) && saved;
    saved = SaveProgress(folder, window) && saved;
    backdrop.Destroy();
    return saved;
}
