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

    // Where on the screen a finger taps the first link of the shown page, at the top
    // of the page, whose href contains `part`.
    std::optional<POINT> LinkOnScreen(const std::wstring& part);
    bool Screenshot(const std::filesystem::path& file);

private:
    MainApp& m_app;
};
