#pragma once
// How the two views run the program's side windows (channels, favourites, settings,
// the play list): over the work area, owned by the opening view, sliding in and out,
// modal, and gone afterwards.

#include "platform/window/WindowTypes.h"

class CFtWnd;

// The window's modal result; 0 when it could not be made.
int RunSideWindow(CFtWnd& window, HWND parent);
