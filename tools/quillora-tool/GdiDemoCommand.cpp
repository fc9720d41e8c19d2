// gdi-demo OUT.png: a test card of what the drawing layer can do, for a person to look at.

#include "Commands.h"

#include "platform/base/Screen.h"
#include "platform/display/Display.h"
#include "platform/display/TestCard.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/GdiObjects.h"

#include <cstdio>

int RunGdiDemoCommand(const Words& words) {
    if (words.size() != 1)
        return 2;
    HDC card = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(card, ScreenWidth, ScreenHeight);
    HGDIOBJ old = SelectObject(card, bitmap);
    DrawTestCard(card);
    bool saved = platform::SavePng(*platform::LookupDC(card)->target, {0, 0, ScreenWidth, ScreenHeight}, words[0]);
    SelectObject(card, old);
    DeleteObject(bitmap);
    DeleteDC(card);
    if (!saved) {
        std::fprintf(stderr, "cannot write %s\n", words[0].c_str());
        return 1;
    }
    return 0;
}
