#pragma once
// The device theme as the toolkit takes it: 26 colours, the theme and font names, the
// shared image module, fonts by size and style, the key-click and switch sounds and
// the debug-zone mask. Everything is read on first use and kept for the process (the
// application releases the fonts and the module when it ends); every slot is guarded,
// since pop-ups draw on worker and dialog threads as well as the user-interface thread.

#include "platform/base/Win32Types.h"
#include "platform/gdi/GdiTypes.h"

#include <string>

enum ThemeColour {
    SYSCLR_WINDOW_BG,
    SYSCLR_WINDOW_TEXT,
    SYSCLR_BUTTON_TEXT,
    SYSCLR_BUTTONEX_TEXT,
    SYSCLR_BUTTONEX_TEXT2,
    SYSCLR_CAPTION_TEXT,
    SYSCLR_EDIT_TEXT,
    SYSCLR_LIST_TEXT,
    SYSCLR_LIST_TEXT2,
    SYSCLR_LIST_TEXT3,
    SYSCLR_STATIC_TEXT,
    SYSCLR_TOOLBAR_TEXT,
    SYSCLR_TOOLBAR_TEXT_DISABLED,
    SYSCLR_CAPTION_BG1,
    SYSCLR_CAPTION_BG2,
    SYSCLR_LIST_GRIDLINE1_COLOR1,
    SYSCLR_LIST_GRIDLINE1_COLOR2,
    SYSCLR_LIST_GRIDLINE2_COLOR1,
    SYSCLR_LIST_GRIDLINE2_COLOR2,
    SYSCLR_LIST_TEXT_HIGHLIGHT,
    SYSCLR_BUTTON_TEXT_NEGATIVE,
    SYSCLR_LIST_SELECTED_BG_GRADIENT1,
    SYSCLR_LIST_SELECTED_BG_GRADIENT2,
    SYSCLR_LIST_SELECTED_BG_GRADIENT3,
    SYSCLR_CAPTION_OUTER_LINE,
    SYSCLR_CAPTION_INNER_LINE,
    ThemeColourCount,
};

// The colour of that index; 0xFF0000 for an index outside the table. A colour missing
// from the registry is written there with its default.
COLORREF GetThemeColour(int index);
std::wstring GetThemeName();
std::wstring GetFontName();
// "\Windows\Themes\" + theme name + "\" + file name.
std::wstring GetThemeFilePath(const std::wstring& fileName);
// The toolkit's shared image module: the theme's "ftres.dll", else the system's; null
// when neither loads.
HMODULE GetResourceModule();

// Orientation codes: text turned by 0, 90, 180 or 270 degrees.
constexpr int FontUpright = 0, FontTurnedLeft = 1, FontUpsideDown = 2, FontTurnedRight = 3;
// The same parameters give the same font, made once; its face is the theme's font name.
HFONT GetFont(int size, int weight, bool underline, bool italic, int orientation);

// Played only when the user's volume settings have key sounds on and silence off.
void PlayKeySound();
void PlaySwitchSound();

// Debug zones: which lines the toolkit writes to the debug channel.
constexpr DWORD ZoneMouse = 0x04, ZoneScrollTiming = 0x20, ZoneMessages = 0x40, ZoneModal = 0x80;
// Read once, from HKLM\SOFTWARE\DeviceVendor\Debug "FTK"; 0 when absent.
DWORD GetDebugZones();

// Deletes the cached fonts, frees the resource module and forgets the colours and
// names, so that the next use reads the registry again (the application's end).
void ReleaseThemeResources();
