#include "app/NetworkPrompt.h"

#include "app/WlanDriver.h"
#include "platform/device/CallInterface.h"

namespace {

// The mode the data call is started in.
constexpr DWORD GprsDialMode = 4;

void BringUpWlan(FeedbackCalls& feedback, HWND owner, NetworkState& state) {
    if (feedback.MessageBox(owner, L"是否开启WLAN?", L"Test", MessageBoxYesNo) != ResultYes)
        return;
    feedback.NoticeBox(owner, L"正在开启WLAN...", NoticeMilliseconds);
    if (!SwitchWlanDriver(true)) {
        feedback.NoticeBox(owner, L"开启WLAN失败！", NoticeMilliseconds);
        return;
    }
    state.broughtUp = true;
    ApplyWifiOptions();
    feedback.NoticeBox(owner, L"开启WLAN成功！", NoticeMilliseconds);
}

void BringUpGprs(FeedbackCalls& feedback, HWND owner, NetworkState& state) {
    if (feedback.MessageBox(owner, L"是否连接GPRS？", L"", MessageBoxYesNo) != ResultYes)
        return;
    feedback.NoticeBox(owner, L"正在连接EDGE网络...", NoticeMilliseconds);
    if (Dial_StartGprsConnect2(owner, GprsDialMode) != 1) {
        feedback.NoticeBox(owner, L"连接失败！请检查EDGE网络", NoticeMilliseconds);
        return;
    }
    state.broughtUp = true;
    feedback.NoticeBox(owner, L"连接EDGE网络成功！", NoticeMilliseconds);
}

// The options are applied again after the unload: they may want the radio back.
void ShutDownWlan() {
    UnloadWlanDriver();
    ApplyWifiOptions();
}

} // namespace

void RunConnectPrompt(FeedbackCalls& feedback, HWND owner, NetworkState& state) {
    if (QueryNetWorkStatus() != NetworkStatusNone)
        return;
    if (state.isWlan != 0)
        BringUpWlan(feedback, owner, state);
    else
        BringUpGprs(feedback, owner, state);
}

void ShutDownNetworkAtExit(FeedbackCalls& feedback, HWND owner, NetworkState& state) {
    if (!state.broughtUp)
        return;
    if (state.isWlan == 1) {
        feedback.NoticeBox(owner, L"正在关闭WLAN！", NoticeMilliseconds);
        ShutDownWlan();
        state.broughtUp = false;
        return;
    }
    feedback.NoticeBox(owner, L"正在关闭GPRS！", NoticeMilliseconds);
    if (Dial_StopGprsConnect2(owner) == 1)
        state.broughtUp = false;
}

void ShutDownNetworkAtDestruction(HWND owner, NetworkState& state) {
    if (!state.broughtUp)
        return;
    if (state.isWlan == 1)
        ShutDownWlan();
    else
        Dial_StopGprsConnect2(owner);
    // The window is going: nothing is left to try again.
    state.broughtUp = false;
}
