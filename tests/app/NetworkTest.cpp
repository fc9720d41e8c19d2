// Bringing the network up and down: the connect prompt and the shutdown driven through
// the stand-ins of the call interface and of the device manager, with the device's WiFi
// options, its fly mode and a music player window of the test's own; then the network
// window on the settings file, driven by a finger.

#include "app/FlyMode.h"
#include "app/NetworkPrompt.h"
#include "app/NetworkWnd.h"
#include "app/WlanDriver.h"
#include "platform/device/CallInterface.h"
#include "platform/device/DeviceManager.h"
#include "platform/device/MessageQueue.h"
#include "platform/registry/Registry.h"
#include "platform/window/WindowApi.h"
#include "support/IniBytes.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// Every call in order, "box: text / caption / type" or "notice: text / milliseconds";
// message boxes take their answers from the script, yes once it has run out.
class ScriptedFeedback : public FeedbackCalls {
public:
    int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type, int) override {
        calls.push_back(L"box: " + text + L" / " + caption + L" / " + std::to_wstring(type));
        owners.push_back(owner);
        if (answers.empty())
            return ResultYes;
        int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    int NoticeBox(HWND owner, const std::wstring& text, DWORD milliseconds) override {
        calls.push_back(L"notice: " + text + L" / " + std::to_wstring(milliseconds));
        owners.push_back(owner);
        return 1;
    }
    void ShowWaitDialog(HWND, const RECT*, int) override {}
    void CloseWaitDialog() override {}
    void ShowProgressDialog(ProgressDescriptor&, HWND) override {}
    void CloseProgressDialog(ProgressDescriptor&) override {}

    std::vector<int> answers;
    std::vector<std::wstring> calls;
    std::vector<HWND> owners;
};

void SetNumber(HKEY root, LPCWSTR path, LPCWSTR name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

// -1: no such value.
long long Number(HKEY root, LPCWSTR path, LPCWSTR name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD value = 0, size = sizeof value;
    LONG result = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? value : -1;
}

// How many WLAN devices the device manager lists.
int WlanDevicesListed() {
    int count = 0;
    HKEY active = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Drivers\\Active", 0, KEY_READ, &active) != ERROR_SUCCESS)
        return 0;
    wchar_t subKey[64];
    for (DWORD index = 0;; ++index) {
        DWORD length = 64;
        if (RegEnumKeyExW(active, index, subKey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY entry = nullptr;
        wchar_t name[16] = {};
        DWORD size = sizeof name;
        if (RegOpenKeyExW(active, subKey, 0, KEY_READ, &entry) == ERROR_SUCCESS &&
            RegQueryValueExW(entry, L"Name", nullptr, nullptr, reinterpret_cast<BYTE*>(name), &size) == ERROR_SUCCESS &&
            std::wstring(name) == L"NDL1:")
            ++count;
        RegCloseKey(entry);
    }
    RegCloseKey(active);
    return count;
}

// What the music player was sent, and the WLAN driver listed at that moment.
struct PlayerMessage {
    WPARAM wParam;
    LPARAM lParam;
    DWORD driver;
};

std::vector<PlayerMessage>& PlayerMessages() {
    static std::vector<PlayerMessage> messages;
    return messages;
}

LRESULT PlayerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == 4096) {
        PlayerMessages().push_back({wParam, lParam, FindWlanDriverHandle()});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The device's music player, as far as the network cares: a top-level window of its class.
class MusicPlayer {
public:
    MusicPlayer() {
        static const bool registered = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = &PlayerProcedure;
            windowClass.lpszClassName = L"FtMusicMainWnd";
            return RegisterClassW(&windowClass) != 0;
        }();
        EXPECT_TRUE(registered);
        m_window =
            CreateWindowExW(0, L"FtMusicMainWnd", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        PlayerMessages().clear();
    }
    ~MusicPlayer() { DestroyWindow(m_window); }
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    const std::vector<PlayerMessage>& Messages() const { return PlayerMessages(); }

private:
    HWND m_window;
};

// The shell's end of the fly-mode queue.
class FlyModeShell {
public:
    FlyModeShell() {
        MSGQUEUEOPTIONS options{sizeof(MSGQUEUEOPTIONS), MSGQUEUE_ALLOW_BROKEN, 8, FlyModeMessageSize, TRUE};
        m_queue = CreateMsgQueue(FlyModeQueueName, &options);
    }
    ~FlyModeShell() { CloseMsgQueue(m_queue); }
    FlyModeShell(const FlyModeShell&) = delete;
    FlyModeShell& operator=(const FlyModeShell&) = delete;

    // Every message written since the last call, as bytes.
    std::vector<std::string> Messages() {
        std::vector<std::string> messages;
        std::string buffer(1024, '\0');
        DWORD read = 0;
        while (ReadMsgQueue(m_queue, buffer.data(), static_cast<DWORD>(buffer.size()), &read, 0, nullptr))
            messages.push_back(buffer.substr(0, read));
        return messages;
    }

private:
    HANDLE m_queue;
};

// The message the shell expects: zero but for the kind 13 and the state at byte 444.
std::string FlyModeMessage(std::uint32_t state) {
    std::string bytes(464, '\0');
    std::uint32_t kind = 13;
    std::memcpy(bytes.data(), &kind, 4);
    std::memcpy(bytes.data() + 444, &state, 4);
    return bytes;
}

class NetworkPromptTest : public ::testing::Test {
protected:
    ~NetworkPromptTest() override {
        // The data call belongs to the process: one left up would give the next test a network.
        ScopedEnvironment ending("QUILLORA_DIAL_STOP_RESULT", "1");
        Dial_StopGprsConnect2(nullptr);
    }
    static void GivenFlyMode(DWORD on) {
        SetNumber(HKEY_CURRENT_USER, L"ControlPanel\\Setting\\FlyMode", L"FlyModeFlag", on);
    }
    static void GivenWifiOptions(DWORD setting, DWORD test) {
        SetNumber(HKEY_CURRENT_USER, L"Software\\DEVWIFI", L"wifisetting", setting);
        SetNumber(HKEY_CURRENT_USER, L"Software\\DEVWIFI", L"wifitest", test);
    }
    void Prompt() { RunConnectPrompt(feedback, owner, state); }
    void Exit() { ShutDownNetworkAtExit(feedback, owner, state); }
    void Destroyed() { ShutDownNetworkAtDestruction(owner, state); }
    static bool NoNetwork() { return QueryNetWorkStatus() == NetworkStatusNone; }

    TemporaryRoot root;
    ScopedEnvironment noNetwork{"QUILLORA_NETWORK_STATUS", "1"};
    ScriptedFeedback feedback;
    NetworkState state;
    const HWND owner = reinterpret_cast<HWND>(std::uintptr_t{0x4240});
};

const std::wstring AskWlan = L"box: 是否开启WLAN? / Test / 4";
const std::wstring OpeningWlan = L"notice: 正在开启WLAN... / 2000";
const std::wstring WlanOpened = L"notice: 开启WLAN成功！ / 2000";
const std::wstring AskGprs = L"box: 是否连接GPRS？ /  / 4";
const std::wstring ConnectingGprs = L"notice: 正在连接EDGE网络... / 2000";
const std::wstring ClosingWlan = L"notice: 正在关闭WLAN！ / 2000";
const std::wstring ClosingGprs = L"notice: 正在关闭GPRS！ / 2000";

using Calls = std::vector<std::wstring>;

TEST_F(NetworkPromptTest, AUsableNetworkIsLeftAloneWithoutAWord) {
    for (const char* status : {"2", "4"}) {
        ScopedEnvironment usable("QUILLORA_NETWORK_STATUS", status);
        for (int isWlan : {1, 0}) {
            state.isWlan = isWlan;
            Prompt();
        }
    }
    EXPECT_TRUE(feedback.calls.empty());
    EXPECT_FALSE(state.broughtUp);
    EXPECT_EQ(FindWlanDriverHandle(), NoWlanDriver);
    EXPECT_TRUE(NoNetwork()) << "no data call was started either";
}

TEST_F(NetworkPromptTest, WlanComesUpWithItsNoticesAndGoesDownAtTheExitQuestion) {
    GivenFlyMode(0);
    Prompt();
    EXPECT_EQ(feedback.calls, (Calls{AskWlan, OpeningWlan, WlanOpened}));
    EXPECT_EQ(feedback.owners, (std::vector<HWND>(3, owner)));
    EXPECT_TRUE(state.broughtUp);
    EXPECT_EQ(WlanDevicesListed(), 1);
    EXPECT_FALSE(NoNetwork());

    Prompt();
    EXPECT_EQ(feedback.calls.size(), 3u) << "a network is usable now";

    Exit();
    EXPECT_EQ(feedback.calls, (Calls{AskWlan, OpeningWlan, WlanOpened, ClosingWlan}));
    EXPECT_FALSE(state.broughtUp);
    EXPECT_EQ(WlanDevicesListed(), 0);
    EXPECT_TRUE(NoNetwork());
    Destroyed();
    EXPECT_EQ(feedback.calls.size(), 4u);
}

TEST_F(NetworkPromptTest, DecliningWlanLeavesTheFlagClearAndLeavingTouchesNoDriver) {
    GivenFlyMode(0);
    GivenWifiOptions(1, 0);
    MusicPlayer player;
    feedback.answers = {ResultNo, ResultClosed};
    Prompt();
    Prompt();
    EXPECT_EQ(feedback.calls, (Calls{AskWlan, AskWlan}));
    EXPECT_FALSE(state.broughtUp);
    EXPECT_EQ(WlanDevicesListed(), 0);

    // Switched on by someone else afterwards: not this program's to switch off.
    HANDLE elsewhere = ActivateDeviceEx(L"Drivers\\SSP\\SWLD24SP", nullptr, 0, nullptr);
    ASSERT_NE(elsewhere, nullptr);
    Exit();
    Destroyed();
    EXPECT_EQ(feedback.calls.size(), 2u);
    EXPECT_EQ(FindWlanDriverHandle(), static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(elsewhere)));
    EXPECT_TRUE(player.Messages().empty()) << "no WiFi options were applied";
}

TEST_F(NetworkPromptTest, AWlanDriverThatDoesNotLoadIsReportedAndLeavesTheFlagClear) {
    ScopedEnvironment failing("QUILLORA_ACTIVATE_DEVICE_RESULT", "0");
    Prompt();
    EXPECT_EQ(feedback.calls, (Calls{AskWlan, OpeningWlan, L"notice: 开启WLAN失败！ / 2000"}));
    EXPECT_FALSE(state.broughtUp);
    Exit();
    EXPECT_EQ(feedback.calls.size(), 3u);
}

TEST_F(NetworkPromptTest, InFlyModeALoadedDriverIsFollowedByNoWifiOptions) {
    GivenFlyMode(1);
    GivenWifiOptions(1, 0);
    MusicPlayer player;
    Prompt();
    EXPECT_TRUE(state.broughtUp);
    EXPECT_EQ(feedback.calls.back(), WlanOpened);
    EXPECT_TRUE(player.Messages().empty());
    EXPECT_EQ(WlanDevicesListed(), 1);
}

TEST_F(NetworkPromptTest, WifiSetting1AndWifiTest0ReloadTheDriverOnceBetweenTheTwoPlayerMessages) {
    GivenFlyMode(0);
    GivenWifiOptions(1, 0);
    MusicPlayer player;
    Prompt();
    ASSERT_EQ(player.Messages().size(), 2u);
    const PlayerMessage before = player.Messages()[0], after = player.Messages()[1];
    EXPECT_EQ(before.wParam, 0u);
    EXPECT_EQ(before.lParam, 1);
    EXPECT_EQ(after.wParam, 0u);
    EXPECT_EQ(after.lParam, 0);
    EXPECT_NE(before.driver, NoWlanDriver) << "the first load came before the messages";
    EXPECT_NE(after.driver, NoWlanDriver);
    EXPECT_NE(after.driver, before.driver) << "unloaded and loaded anew in between";
    EXPECT_EQ(FindWlanDriverHandle(), after.driver);
    EXPECT_EQ(WlanDevicesListed(), 1);
    EXPECT_EQ(feedback.calls, (Calls{AskWlan, OpeningWlan, WlanOpened}));

    // The options are applied again after the unload at the exit question.
    Exit();
    EXPECT_EQ(player.Messages().size(), 4u);
    EXPECT_FALSE(state.broughtUp);
}

TEST_F(NetworkPromptTest, WifiTest1StartsTheDevicesTestProgramInsteadOfAReload) {
    GivenFlyMode(0);
    GivenWifiOptions(1, 1);
    MusicPlayer player;
    Prompt();
    EXPECT_TRUE(player.Messages().empty());
    EXPECT_EQ(WlanDevicesListed(), 1);
    std::string log;
    for (int i = 0; i < 500 && log.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        log = ReadHostFile(root.Host("Windows/programs.log"));
    }
    EXPECT_EQ(log, "WifiTestProgram.exe \n");
}

TEST_F(NetworkPromptTest, GprsComesUpAndGoesDownAtTheExitQuestion) {
    state.isWlan = 0;
    Prompt();
    EXPECT_EQ(feedback.calls, (Calls{AskGprs, ConnectingGprs, L"notice: 连接EDGE网络成功！ / 2000"}));
    EXPECT_TRUE(state.broughtUp);
    EXPECT_FALSE(NoNetwork());
    EXPECT_EQ(WlanDevicesListed(), 0);

    Exit();
    EXPECT_EQ(feedback.calls.back(), ClosingGprs);
    EXPECT_FALSE(state.broughtUp);
    EXPECT_TRUE(NoNetwork());
}

TEST_F(NetworkPromptTest, ADeclinedOrFailedDataCallLeavesTheFlagClear) {
    state.isWlan = 0;
    feedback.answers = {ResultNo};
    Prompt();
    EXPECT_EQ(feedback.calls, (Calls{AskGprs}));
    {
        ScopedEnvironment failing("QUILLORA_DIAL_START_RESULT", "0");
        Prompt();
    }
    EXPECT_EQ(feedback.calls, (Calls{AskGprs, AskGprs, ConnectingGprs, L"notice: 连接失败！请检查EDGE网络 / 2000"}));
    EXPECT_FALSE(state.broughtUp);
    EXPECT_TRUE(NoNetwork());
}

TEST_F(NetworkPromptTest, ADataCallThatDoesNotEndAtTheExitQuestionIsEndedAtDestruction) {
    state.isWlan = 0;
    Prompt();
    ASSERT_TRUE(state.broughtUp);
    {
        ScopedEnvironment failing("QUILLORA_DIAL_STOP_RESULT", "0");
        Exit();
    }
    EXPECT_EQ(feedback.calls.back(), ClosingGprs);
    EXPECT_TRUE(state.broughtUp);
    EXPECT_FALSE(NoNetwork());

    std::size_t calls = feedback.calls.size();
    Destroyed();
    EXPECT_TRUE(NoNetwork());
    EXPECT_FALSE(state.broughtUp);
    EXPECT_EQ(feedback.calls.size(), calls) << "silently";
}

TEST(FlyMode, AMissingFlagIsWrittenOffAndEveryChangeIsAnnouncedToTheShell) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    const wchar_t* key = L"ControlPanel\\Setting\\FlyMode";
    {
        FlyModeShell shell;
        EXPECT_FALSE(IsFlyMode());
        EXPECT_EQ(Number(HKEY_CURRENT_USER, key, L"FlyModeFlag"), 0);
        EXPECT_EQ(shell.Messages(), std::vector<std::string>{FlyModeMessage(0)});

        EXPECT_TRUE(SetFlyMode(true));
        EXPECT_TRUE(IsFlyMode());
        EXPECT_EQ(shell.Messages(), std::vector<std::string>{FlyModeMessage(1)}) << "reading announces nothing";
        EXPECT_EQ(Number(HKEY_CURRENT_USER, key, L"FlyModeFlag"), 1);
    }
    EXPECT_TRUE(SetFlyMode(false)) << "a shell that does not read is no failure";
    EXPECT_FALSE(IsFlyMode());
    SetNumber(HKEY_CURRENT_USER, key, L"FlyModeFlag", 7);
    EXPECT_TRUE(IsFlyMode());
}

constexpr UINT RunInLoop = WM_USER + 40; // lParam: a std::function<void()>* to call in the loop

class ScriptedNetworkWnd : public NetworkWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == RunInLoop) {
            (*reinterpret_cast<std::function<void()>*>(lParam))();
            return 0;
        }
        return NetworkWnd::WindowProc(message, wParam, lParam);
    }
};

class NetworkWndTest : public ::testing::Test {
protected:
    static constexpr int SwitchX = 405, SwitchY = 42 + 35;
    static constexpr int GprsY = 112 + 35, WlanY = 112 + 70 + 35;
    static constexpr int ToolbarY = 720 - 65 / 2, CancelX = 60, ConfirmX = 420;

    void Given(std::u16string_view text) { WriteHostFile(File(), IniBytes(text)); }
    std::filesystem::path File() const { return root.Host("Quillora/Data/Setting.ini"); }
    void Open(NetworkWnd& window) { ASSERT_TRUE(window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0)); }
    // The window run modally with `finger` done inside its loop: the modal result.
    static int Run(ScriptedNetworkWnd& window, std::function<void()> finger) {
        window.Post(RunInLoop, 0, reinterpret_cast<LPARAM>(&finger));
        return window.DoModal();
    }
    static void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    static void Tap(NetworkWnd& window, int x, int y) {
        SendMessageW(window.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        Pump();
        SendMessageW(window.GetHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        Pump();
    }

    TemporaryRoot root;
};

constexpr std::u16string_view Settings = u"[Network]\r\n  IsWLAN=0\r\n  AutoConnect=1\r\n  FlvParseServer=1\r\n"
                                         u"[Browser]\r\n  IsCache=0\r\n  IsDisplayPicture=1\r\n"
                                         u"[Player]\r\n  EnableFtVideo=0\r\n  Path=\\Storage Card\\player.exe";

TEST_F(NetworkWndTest, ConfirmingWithWlanChosenWritesIsWlan1AndLeavesEveryOtherByteAlone) {
    Given(Settings);
    ScriptedNetworkWnd window;
    Open(window);
    EXPECT_EQ(window.List().GetSelectedIndex(), 0) << "IsWLAN 0 is the GPRS row";
    ASSERT_NE(window.AutoConnectRow().GetSwitch(), nullptr);
    EXPECT_TRUE(window.AutoConnectRow().GetSwitch()->IsChecked());
    int chosen = -1;
    int result = Run(window, [&] {
        Tap(window, 100, WlanY);
        chosen = window.List().GetSelectedIndex();
        Tap(window, ConfirmX, ToolbarY);
    });
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(result, NetworkWnd::ResultStored);
    std::u16string expected(Settings);
    expected.replace(expected.find(u"IsWLAN=0"), 8, u"IsWLAN=1");
    EXPECT_EQ(ReadHostFile(File()), IniBytes(expected));
}

TEST_F(NetworkWndTest, TheSwitchTurnsAutoConnectOverAndConfirmingStoresIt) {
    Given(Settings);
    ScriptedNetworkWnd window;
    Open(window);
    std::vector<int> values;
    std::vector<bool> shown;
    int result = Run(window, [&] {
        for (int i = 0; i < 3; ++i) {
            Tap(window, SwitchX, SwitchY);
            values.push_back(window.AutoConnect());
            shown.push_back(window.AutoConnectRow().GetSwitch()->IsChecked());
        }
        Tap(window, ConfirmX, ToolbarY);
    });
    EXPECT_EQ(values, (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(shown, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(result, NetworkWnd::ResultStored);
    std::u16string expected(Settings);
    expected.replace(expected.find(u"AutoConnect=1"), 13, u"AutoConnect=0");
    EXPECT_EQ(ReadHostFile(File()), IniBytes(expected)) << "GPRS stays chosen";
}

TEST_F(NetworkWndTest, CancellingLeavesTheFileByteForByteAsItWas) {
    // Not as the program would write it: nothing is rewritten on the way.
    Given(u"[Network]\r\nAutoConnect=7\r\n    IsWLAN=1\r\n[Network]\r\n  IsWLAN=0");
    const std::string before = ReadHostFile(File());
    ScriptedNetworkWnd window;
    Open(window);
    EXPECT_EQ(window.List().GetSelectedIndex(), 1);
    EXPECT_FALSE(window.AutoConnectRow().GetSwitch()->IsChecked()) << "only 1 is on";
    int result = Run(window, [&] {
        Tap(window, 100, GprsY);
        Tap(window, SwitchX, SwitchY);
        Tap(window, CancelX, ToolbarY);
    });
    EXPECT_EQ(result, NetworkWnd::ResultCancelled);
    EXPECT_EQ(ReadHostFile(File()), before);
}

} // namespace
