#pragma once
// What the device reports about itself to the user interface: the language of the user
// interface, the state of the soft input panel, and the idle timer that puts the device
// to sleep. On the desktop each is a value the program or a test sets; all are safe to
// use from any thread.

#include "platform/window/WindowTypes.h"

using LANGID = WORD;

// 0x0804 (Chinese, simplified) unless set, or given as QUILLORA_UI_LANGUAGE (hexadecimal,
// such as "0409").
LANGID GetUserDefaultUILanguage();

constexpr DWORD SIPF_ON = 0x00000001;

struct SIPINFO {
    DWORD cbSize;
    DWORD fdwFlags;
    RECT rcVisibleDesktop; // the work area the panel leaves uncovered
    RECT rcSipRect;        // the panel itself
    DWORD dwImDataSize;
    void* pvImData;
};

// FALSE for a null record or one whose cbSize is not sizeof(SIPINFO).
BOOL SipGetInfo(SIPINFO* info);

// Keeps the device awake a while longer.
void SystemIdleTimerReset();

namespace platform {

void SetUserInterfaceLanguage(LANGID language);
// The soft input panel shown over `panel` (on) or put away.
void SetInputPanel(bool on, const RECT& panel);
// How often the idle timer was reset since the process started.
unsigned IdleTimerResets();

} // namespace platform
