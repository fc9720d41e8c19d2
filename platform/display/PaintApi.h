#pragma once
// Device contexts for windows and for the screen. A window's context draws on the
// screen at the window's place, only where the window is visible: inside its
// ancestors and not under the windows above it.

#include "platform/gdi/GdiTypes.h"
#include "platform/window/WindowTypes.h"

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HDC CreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const void* initData);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
