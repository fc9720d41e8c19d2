#pragma once
// The phone's call interface library. Here the network state and the results of the
// dial calls are configuration, so that every branch of their callers can be driven:
// an environment variable wins over a registry value, which wins over the default
// (StandInSettings.h).
//
//   what                          environment                  HKLM\Software\Quillora\CallInterface  default
//   state reported                QUILLORA_NETWORK_STATUS      NetworkStatus                         2 (direct)
//   result of the start call      QUILLORA_DIAL_START_RESULT   DialStartResult                       1 (up)
//   result of the stop call       QUILLORA_DIAL_STOP_RESULT    DialStopResult                        1 (ended)
//   state while a link is up      QUILLORA_DIALED_STATUS       DialedStatus                          2 (direct)
//
// A successful start call marks the data call up until a successful stop call. While
// it is up, or while the device manager lists the WLAN adapter "NDL1:" as active
// (DeviceManager.h), a configured state of 1 (no network) reads as the dialled state
// instead; any other configured state is reported as it is. Callable from any thread.

#include "platform/base/Win32Types.h"

constexpr DWORD NetworkStatusNone = 1;
constexpr DWORD NetworkStatusWap = 4;

DWORD QueryNetWorkStatus();
LONG Dial_StartGprsConnect2(HWND window, DWORD mode);
LONG Dial_StopGprsConnect2(HWND window);
