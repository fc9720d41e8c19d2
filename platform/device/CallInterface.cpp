#include "platform/device/CallInterface.h"

#include "platform/device/DeviceManager.h"
#include "platform/device/StandInSettings.h"

#include <atomic>

namespace {

std::atomic<bool> s_callUp{false};

// The device name the WLAN adapter has while its driver is loaded.
constexpr const wchar_t* WlanDevice = L"NDL1:";

DWORD Configured(const char* variable, const wchar_t* valueName, DWORD fallback) {
    return platform::ConfiguredNumber(variable, L"Software\\Quillora\\CallInterface", valueName, fallback);
}

} // namespace

DWORD QueryNetWorkStatus() {
    DWORD status = Configured("QUILLORA_NETWORK_STATUS", L"NetworkStatus", 2);
    // The device list is only asked when it could change the answer: this is called at
    // every opening of an HTTP session, from the workers too.
    if (status == NetworkStatusNone && (s_callUp || platform::IsDeviceActive(WlanDevice)))
        return Configured("QUILLORA_DIALED_STATUS", L"DialedStatus", 2);
    return status;
}

LONG Dial_StartGprsConnect2(HWND, DWORD) {
    auto result = static_cast<LONG>(Configured("QUILLORA_DIAL_START_RESULT", L"DialStartResult", 1));
    if (result == 1)
        s_callUp = true;
    return result;
}

LONG Dial_StopGprsConnect2(HWND) {
    auto result = static_cast<LONG>(Configured("QUILLORA_DIAL_STOP_RESULT", L"DialStopResult", 1));
    if (result == 1)
        s_callUp = false;
    return result;
}
