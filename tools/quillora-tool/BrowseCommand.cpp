// render PAGE OUT.png [--scroll Y]: a page of the device root as the browser view shows
// it. browse URL OUT.png [--scroll Y]: any address as the browser view opens it, a web
// address intercepted, converted and shown. Both on the headless screen, scrolled down
// Y pixels, written as a screenshot; a message box that comes up is printed and closed.

#include "Commands.h"

#include "app/AppDriver.h"
#include "app/MainApp.h"
#include "art/ProgramArt.h"
#include "platform/base/Utf8.h"
#include "settings/ProgramFolder.h"
#include "toolkit/MessageBoxWnd.h"

#include <cstdio>
#include <cstdlib>

namespace {

int ShowInBrowser(const Words& words, bool keepTemporaryFiles) {
    if (words.size() != 2 && !(words.size() == 4 && words[2] == "--scroll"))
        return 2;
    int scroll = words.size() == 4 ? std::atoi(words[3].c_str()) : 0;
    CreateProgramFolders();
    MessageBoxWnd::SetShownObserver([](MessageBoxWnd& box) {
        std::printf("message box: %s\n", platform::Utf8FromWide(box.Text()).c_str());
        PostMessageW(box.GetHwnd(), MessageBoxWnd::CloseMessage, 0, 1);
    });
    RegisterProgramArt();
    MainApp app;
    if (keepTemporaryFiles)
        app.KeepTemporaryFiles();
    AppDriver driver(app);
    app.InitInstance();
    BrowserWnd& view = app.Browser();
    driver.Pump();
    // Opened as the main window opens a page: the browser view comes up over it.
    app.Main().OpenInBrowser(platform::WideFromUtf8(words[0]));
    int result = 0;
    if (!driver.WaitForPage(30000) || view.ShownPage().empty()) {
        std::fprintf(stderr, "no page came for %s\n", words[0].c_str());
        result = 1;
    } else {
        view.ScrollBy(0, scroll);
        driver.Pump();
        if (!driver.Screenshot(words[1])) {
            std::fprintf(stderr, "cannot write %s\n", words[1].c_str());
            result = 1;
        }
        wchar_t title[512] = {};
        GetWindowTextW(view.GetHwnd(), title, 512);
        std::printf("%s: shown %s, title \"%s\"\n", words[0].c_str(), platform::Utf8FromWide(view.ShownPage()).c_str(),
                    platform::Utf8FromWide(title).c_str());
    }
    MessageBoxWnd::SetShownObserver(nullptr);
    return result;
}

} // namespace

int RunRenderCommand(const Words& words) { return ShowInBrowser(words, true); }

int RunBrowseCommand(const Words& words) { return ShowInBrowser(words, false); }
