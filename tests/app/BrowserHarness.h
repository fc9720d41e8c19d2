#pragma once
// The browser view as the program runs it, on the headless display: the application
// object made and started, messages pumped through its PreTranslateMessage the way its
// loop does, touches injected where a finger would go, screenshots written for people.

#include "app/MainApp.h"
#include "platform/browser/PageView.h"

#include <functional>
#include <optional>
#include <string>

class BrowserHarness {
public:
    BrowserHarness();
    ~BrowserHarness();
    BrowserHarness(const BrowserHarness&) = delete;
    BrowserHarness& operator=(const BrowserHarness&) = delete;

    BrowserWnd& View() { return m_app.Browser(); }
    MainApp& App() { return m_app; }

    // Every message waiting now, through the application's hook.
    void Pump();
    // Pumps until `done` or the time is up; false when it is.
    bool PumpUntil(const std::function<bool()>& done, int milliseconds = 10000);
    // Pumps until no worker runs and the page may be scrolled.
    bool WaitForPage(int milliseconds = 10000);

    void Tap(POINT screen);
    // A finger from `from` to `to` in `steps` moves, then lifted.
    void Drag(POINT from, POINT to, int steps);

    // Where on the screen a finger taps the first link of the shown page, scrolled to
    // its top, whose href contains `part`; found from the page's layout.
    std::optional<POINT> LinkOnScreen(const std::wstring& part);
    // The screen written to the build folder's screenshots; its path.
    std::string Screenshot(const std::string& name);

private:
    MainApp m_app;
};
