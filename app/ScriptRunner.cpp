#include "app/ScriptRunner.h"

#include "app/AppDriver.h"
#include "app/MainApp.h"
#include "platform/base/Utf8.h"
#include "platform/display/Display.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/window/Input.h"
#include "platform/window/RemoteWindows.h"
#include "platform/window/WindowApi.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>

namespace {

constexpr int DefaultWaitMilliseconds = 10000;
constexpr int DragStepMilliseconds = 16;

bool VisibleWindow(const std::string& className) {
    HWND window = FindWindowW(platform::WideFromUtf8(className).c_str(), nullptr);
    return window && IsWindowVisible(window);
}

std::wstring Caption(HWND window) {
    wchar_t text[2100] = {};
    GetWindowTextW(window, text, 2100);
    return text;
}

void Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

} // namespace

std::unique_ptr<ScriptRunner> ScriptRunner::FromFile(const std::filesystem::path& file, MainApp& app) {
    std::ifstream in(file);
    if (!in)
        return nullptr;
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return std::make_unique<ScriptRunner>(std::move(lines), app);
}

ScriptRunner::ScriptRunner(std::vector<std::string> lines, MainApp& app) : m_lines(std::move(lines)), m_app(app) {}

ScriptRunner::~ScriptRunner() {
    if (m_thread.joinable()) {
        m_programEnded = true;
        m_thread.join();
    }
}

void ScriptRunner::Start() {
    m_programThread = GetCurrentThreadId();
    m_thread = std::thread([this] { Run(); });
}

int ScriptRunner::Finish() {
    m_programEnded = true;
    if (m_thread.joinable())
        m_thread.join();
    return m_exitCode;
}

void ScriptRunner::Run() {
    if (!WaitFor([this] { return m_app.Started(); }, DefaultWaitMilliseconds))
        return; // the program ended before its windows came up
    for (std::size_t number = 1; number <= m_lines.size() && !m_programEnded; ++number) {
        std::string line = m_lines[number - 1];
        line = line.substr(0, line.find('#') == 0 ? 0 : line.size());
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        std::string error;
        int code = 0;
        std::printf("script %zu: %s\n", number, line.c_str());
        std::fflush(stdout);
        if (!Step(line, error, code)) {
            if (m_programEnded && code == Failed)
                return; // the program's end cut the wait short
            std::fprintf(stderr, "script line %zu (%s): %s\n", number, line.c_str(), error.c_str());
            m_exitCode = code;
            EndProgram();
            return;
        }
        if (code < 0)
            return; // quit
    }
    if (!m_programEnded)
        EndProgram(); // the script's end is the program's
}

bool ScriptRunner::WaitFor(const std::function<bool()>& done, int milliseconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (m_programEnded || std::chrono::steady_clock::now() > deadline)
            return false;
        Pause(5);
    }
    return true;
}

void ScriptRunner::EndProgram() { PostThreadMessageW(m_programThread, WM_QUIT, 0, 0); }

bool ScriptRunner::Step(const std::string& line, std::string& error, int& code) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    auto rest = [&] {
        std::string text;
        std::getline(words >> std::ws, text);
        return text;
    };
    auto timeout = [&] {
        int milliseconds = DefaultWaitMilliseconds;
        words >> milliseconds;
        return milliseconds;
    };
    auto fail = [&](const std::string& why) {
        error = why;
        code = Failed;
        return false;
    };
    auto bad = [&](const std::string& why) {
        error = why;
        code = BadLine;
        return false;
    };
    if (command == "tap") {
        POINT at{};
        if (!(words >> at.x >> at.y))
            return bad("tap needs X Y");
        platform::InjectTouch(platform::TouchPhase::Down, at);
        Pause(30);
        platform::InjectTouch(platform::TouchPhase::Up, at);
        Pause(30);
        return true;
    }
    if (command == "drag") {
        POINT from{}, to{};
        int milliseconds = 0;
        if (!(words >> from.x >> from.y >> to.x >> to.y >> milliseconds))
            return bad("drag needs X1 Y1 X2 Y2 MS");
        int steps = std::max(1, milliseconds / DragStepMilliseconds);
        platform::InjectTouch(platform::TouchPhase::Down, from);
        for (int step = 1; step <= steps; ++step) {
            Pause(DragStepMilliseconds);
            platform::InjectTouch(platform::TouchPhase::Move, POINT{from.x + (to.x - from.x) * step / steps,
                                                                    from.y + (to.y - from.y) * step / steps});
        }
        platform::InjectTouch(platform::TouchPhase::Up, to);
        Pause(30);
        return true;
    }
    if (command == "type") {
        for (wchar_t character : platform::WideFromUtf8(rest())) {
            if (!platform::InjectCharacter(character))
                return fail("nothing has the input focus");
            Pause(10);
        }
        return true;
    }
    if (command == "key") {
        std::string name = rest();
        wchar_t character = name == "Enter" ? 13 : name == "Backspace" ? 8 : 0;
        if (!character)
            return bad("unknown key " + name);
        return platform::InjectCharacter(character) ? true : fail("nothing has the input focus");
    }
    if (command == "tap-link") {
        std::string part = rest();
        std::optional<POINT> at = LinkOnScreen(m_app.Browser(), platform::WideFromUtf8(part));
        if (!at)
            return fail("no link holding \"" + part + "\" in the page shown");
        platform::InjectTouch(platform::TouchPhase::Down, *at);
        Pause(30);
        platform::InjectTouch(platform::TouchPhase::Up, *at);
        Pause(30);
        return true;
    }
    if (command == "wait") {
        int milliseconds = 0;
        if (!(words >> milliseconds))
            return bad("wait needs MS");
        WaitFor([] { return false; }, milliseconds);
        return true;
    }
    if (command == "wait-window") {
        std::string name;
        words >> name;
        if (!WaitFor([&] { return VisibleWindow(name); }, timeout()))
            return fail("no window " + name + " came");
        // Answered once the window's thread takes messages again: its opening slide is over
        // and a finger's touch is no longer dropped as stale.
        SendMessageW(FindWindowW(platform::WideFromUtf8(name).c_str(), nullptr), WM_NULL, 0, 0);
        return true;
    }
    if (command == "wait-file") {
        std::string path;
        words >> path;
        std::wstring device = platform::WideFromUtf8(path);
        return WaitFor(
                   [&] {
                       auto host = platform::HostPathFromDevice(device);
                       return host && std::filesystem::exists(*host);
                   },
                   timeout())
                   ? true
                   : fail("no file " + path + " came");
    }
    if (command == "wait-page") {
        BrowserWnd& view = m_app.Browser();
        return WaitFor([&] { return view.PageReady() && view.RunningWorkers() == 0; }, timeout())
                   ? true
                   : fail("no page became ready");
    }
    if (command == "wait-raised") {
        return WaitFor([] { return platform::RemoteRaises() > 0; }, timeout()) ? true : fail("nothing raised it");
    }
    if (command == "screenshot") {
        std::filesystem::path file = rest();
        if (file.empty())
            return bad("screenshot needs FILE");
        if (file.has_parent_path())
            std::filesystem::create_directories(file.parent_path());
        return platform::SaveScreenshot(file) ? true : fail("cannot write " + file.string());
    }
    if (command == "expect-window" || command == "expect-no-window") {
        std::string name;
        words >> name;
        bool wanted = command == "expect-window";
        return VisibleWindow(name) == wanted ? true
                                             : fail(wanted ? "no window " + name : "a window " + name + " is up");
    }
    if (command == "expect-caption") {
        std::wstring expected = platform::WideFromUtf8(rest());
        std::wstring caption = Caption(FindWindowW(L"MainWnd", nullptr));
        return caption == expected ? true : fail("the caption is \"" + platform::Utf8FromWide(caption) + "\"");
    }
    if (command == "quit") {
        EndProgram();
        code = -1;
        return true;
    }
    return bad("unknown command");
}
