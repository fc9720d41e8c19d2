#pragma once
// The WLAN radio: loading its device driver switches it on, unloading it switches it
// off. The device lists a loaded driver under HKEY_LOCAL_MACHINE "\Drivers\Active",
// and the handle to unload it by is found there again, so the driver is unloaded
// without keeping the handle of the load, even one an earlier run left loaded. Then
// the device's own WiFi options, which may want the driver loaded afresh or the
// device's WiFi test program started, and a music player told about the reload.
//
// All synchronous; called on the user-interface thread. Failures are silent (debug
// output only): the callers learn what they need from the results.

#include "platform/base/Win32Types.h"

// FindWlanDriverHandle's answer when no WLAN device is listed.
constexpr DWORD NoWlanDriver = 0xFFFFFFFF;

// The driver's handle, null when it did not load.
HANDLE LoadWlanDriver();
// The handle listed for the WLAN device "NDL1:", NoWlanDriver when none is listed or
// it cannot be read.
DWORD FindWlanDriverHandle();
void UnloadWlanDriver();
// Loads the driver (on) or unloads it: whether it loaded; unloading always gives true.
bool SwitchWlanDriver(bool on);

// Does what HKEY_CURRENT_USER "Software\DEVWIFI" asks after the radio was switched:
// with "wifisetting" 1 and "wifitest" 0 the driver is reloaded once more, the music
// player ("FtMusicMainWnd") told before (4096, 0, 1) and after (4096, 0, 0); with
// "wifitest" 1 "\Windows\WifiTestProgram.exe" is started. Nothing in fly mode.
void ApplyWifiOptions();
