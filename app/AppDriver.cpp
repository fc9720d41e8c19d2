#include "app/AppDriver.h"

#include "platform/browser/PageView.h"
#include "platform/display/Display.h"
#include "platform/window/Input.h"
#include "platform/window/WindowApi.h"

#include <chrono>
#include <thread>

void AppDriver::Pump() {
    while (PumpOne()) {
    }
}

bool AppDriver::PumpOne() {
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (message.message == WM_QUIT) {
        m_quit = true;
        m_exitCode = static_cast<int>(message.wParam);
        return true;
    }
    if (!m_app.PreTranslateMessage(&message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

// `done` is asked after every message, so that what a later message would do has not
// happened yet when it first holds.
bool AppDriver::PumpUntil(const std::function<bool()>& done, int milliseconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (done())
            return true;
        if (PumpOne())
            continue;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool AppDriver::WaitForPage(int milliseconds) {
    BrowserWnd& view = m_app.Browser();
    return PumpUntil([&view] { return view.RunningWorkers() == 0 && view.PageReady(); }, milliseconds);
}

void AppDriver::Tap(POINT screen) {
    platform::InjectTouch(platform::TouchPhase::Down, screen);
    Pump();
    platform::InjectTouch(platform::TouchPhase::Up, screen);
    Pump();
}

void AppDriver::Drag(POINT from, POINT to, int steps) {
    platform::InjectTouch(platform::TouchPhase::Down, from);
    Pump();
    for (int step = 1; step <= steps; ++step) {
        POINT at{from.x + (to.x - from.x) * step / steps, from.y + (to.y - from.y) * step / steps};
        platform::InjectTouch(platform::TouchPhase::Move, at);
        Pump();
    }
    platform::InjectTouch(platform::TouchPhase::Up, to);
    Pump();
}

std::optional<POINT> LinkOnScreen(BrowserWnd& view, const std::wstring& part) {
    HWND browser = view.BrowserWindow();
    RECT client{};
    if (!browser || !GetClientRect(browser, &client))
        return std::nullopt;
    platform::browser::PageView page(client.right - client.left);
    if (!page.Load(view.ShownPage()))
        return std::nullopt;
    for (const auto& link : page.Links()) {
        if (link.href.find(part) == std::wstring::npos)
            continue;
        // A point of the link's box that the page itself takes for the link.
        POINT inside{(link.area.left + link.area.right) / 2, (link.area.top + link.area.bottom) / 2};
        if (page.LinkAt(inside.x, inside.y) != link.href)
            inside = POINT{link.area.left + 2, link.area.top + 2};
        if (page.LinkAt(inside.x, inside.y) != link.href || inside.y >= client.bottom)
            continue;
        ClientToScreen(browser, &inside);
        return inside;
    }
    return std::nullopt;
}

bool AppDriver::Screenshot(const std::filesystem::path& file) {
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path());
    return platform::SaveScreenshot(file);
}
