#pragma once
// Drives the running program the way a finger would, without its own message loop:
// messages are handled through the application's PreTranslateMessage as its loop
// handles them, touches go where a finger would put them, links are found where the
// shown page lays them out, and the screen is written out. The headless program, the
// tool and the tests use it.

#include "app/MainApp.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// Where on the screen a finger taps the first link of the page the browser view shows,
// scrolled to its top, whose href contains `part`; found from the page's layout. Any
// thread.
std::optional<POINT> LinkOnScreen(BrowserWnd& view, const std::wstring& part);

class AppDriver {
public:
    explicit AppDriver(MainApp& app) : m_app(app) {}

    // Every message waiting now.
    void Pump();
    // One message, if one waits; false when none did.
    bool PumpOne();
    // Pumps until `done` (asked before each message) or the time is up; false when it is.
    bool PumpUntil(const std::function<bool()>& done, int milliseconds = 10000);
    // Pumps until no worker runs and the shown page may be scrolled.
    bool WaitForPage(int milliseconds = 10000);

    void Tap(POINT screen);
    // A finger from `from` to `to` in `steps` moves, then lifted.
    void Drag(POINT from, POINT to, int steps);

    std::optional<POINT> LinkOnScreen(const std::wstring& part) { return ::LinkOnScreen(m_app.Browser(), part); }
    bool Screenshot(const std::filesystem::path& file);

    // The program asked to end (a quit message came), with this exit code.
    bool QuitSeen() const { return m_quit; }
    int ExitCode() const { return m_exitCode; }

private:
    MainApp& m_app;
    bool m_quit = false;
    int m_exitCode = 0;
};
