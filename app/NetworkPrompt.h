#pragma once
// Bringing the phone's data connection up for the program, and down again at its end:
// the connect prompt the main window runs on WM_NETWORK_PROMPT, and the shutdown at
// the exit question and at the main window's destruction. WLAN is switched by its
// driver (WlanDriver.h), GPRS/EDGE by a data call of the call interface library.
//
// The main window holds the state and hands it to each call; the calls run on the
// user-interface thread, and their message boxes and notices are owned by `owner`.

#include "toolkit/FeedbackCalls.h"

struct NetworkState {
    // Copies of Network/AutoConnect and Network/IsWLAN of the settings file.
    int autoConnect = 1;
    int isWlan = 1;
    // This program switched the network on, so it switches it off at the end.
    bool broughtUp = false;
};

// When no network is usable: offers to switch on the one chosen (any isWlan but 0 is
// WLAN), says how it went, and marks it brought up when it came up.
void RunConnectPrompt(FeedbackCalls& feedback, HWND owner, NetworkState& state);
// After the exit question was answered yes: switches off what this program switched
// on (only isWlan 1 is WLAN here), with a notice. A data call that does not end stays
// marked up, for the main window's destruction to try again.
void ShutDownNetworkAtExit(FeedbackCalls& feedback, HWND owner, NetworkState& state);
// When the main window goes: switches off whatever is still marked up, silently.
void ShutDownNetworkAtDestruction(HWND owner, NetworkState& state);
