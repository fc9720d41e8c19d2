#include "BrowserHarness.h"

#include "platform/display/Display.h"
#include "platform/inet/WinInet.h"
#include "platform/window/Input.h"
#include "platform/window/WindowApi.h"
#include "settings/ProgramFolder.h"
#include "toolkit/WindowFeedbackCalls.h"

#include <chrono>
#include <filesystem>
#include <thread>

BrowserHarness::BrowserHarness() {
    CreateProgramFolders();
    m_app.InitInstance();
    Pump();
}

BrowserHarness::~BrowserHarness() {
    // The application's end may have ended them: the next test starts afresh.
    View().EndWorkers();
    ResumeFeedback();
    platform::AllowTransfers();
}

void BrowserHarness::Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (m_app.PreTranslateMessage(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool BrowserHarness::PumpUntil(const std::function<bool()>& done, int milliseconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        Pump();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool BrowserHarness::WaitForPage(int milliseconds) {
    return PumpUntil([this] { return View().RunningWorkers() == 0 && View().PageReady(); }, milliseconds);
}

void BrowserHarness::Tap(POINT screen) {
    platform::InjectTouch(platform::TouchPhase::Down, screen);
    Pump();
    platform::InjectTouch(platform::TouchPhase::Up, screen);
    Pump();
}

void BrowserHarness::Drag(POINT from, POINT to, int steps) {
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

std::optional<POINT> BrowserHarness::LinkOnScreen(const std::wstring& part) {
    HWND browser = View().BrowserWindow();
    RECT client{};
    if (!browser || !GetClientRect(browser, &client))
        return std::nullopt;
    platform::browser::PageView page(client.right - client.left);
    if (!page.Load(View().ShownPage()))
        return std::nullopt;
    for (const auto& link : page.Links()) {
        if (link.href.find(part) == std::wstring::npos)
            continue;
        // A point inside the link's box that the page itself takes for the link.
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

std::string BrowserHarness::Screenshot(const std::string& name) {
    std::filesystem::path folder(QUILLORA_SCREENSHOTS);
    std::filesystem::create_directories(folder);
    std::filesystem::path file = folder / (name + ".png");
    platform::SaveScreenshot(file);
    return file.string();
}
