// render PAGE OUT.png [--scroll Y]: a page of the device root as the browser lays it
// out on the 480-pixel screen, scrolled down Y pixels, written as a screenshot.

#include "Commands.h"

#include "platform/base/Utf8.h"
#include "platform/browser/PageView.h"
#include "platform/display/Display.h"
#include "platform/display/PaintApi.h"

#include <cstdio>
#include <cstdlib>

int RunRenderCommand(const Words& words) {
    if (words.size() != 2 && !(words.size() == 4 && words[2] == "--scroll"))
        return 2;
    int scroll = words.size() == 4 ? std::atoi(words[3].c_str()) : 0;
    platform::browser::PageView page(480);
    std::wstring address = platform::WideFromUtf8(words[0]);
    if (!page.Load(address)) {
        std::fprintf(stderr, "cannot read the page %s\n", words[0].c_str());
        return 1;
    }
    HDC screen = GetDC(nullptr);
    page.Paint(screen, RECT{0, 0, 480, 720}, scroll);
    ReleaseDC(nullptr, screen);
    if (!platform::SaveScreenshot(words[1])) {
        std::fprintf(stderr, "cannot write %s\n", words[1].c_str());
        return 1;
    }
    std::printf("%s: %d pixels high, title \"%s\"\n", words[0].c_str(), page.ContentHeight(),
                platform::Utf8FromWide(page.Title()).c_str());
    return 0;
}
