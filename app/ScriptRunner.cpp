#include "app/ScriptRunner.h"

#include "app/AppDriver.h"
#include "app/MainApp.h"
#include "app/ScriptSyntax.h"
#include "platform/base/Utf8.h"
#include "platform/display/Display.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/fs/WholeFile.h"
#include "platform/window/Input.h"
#include "platform/window/RemoteWindows.h"
#include "platform/window/WindowApi.h"
#include "toolkit/MessageBoxWnd.h"
#include "toolkit/OnScreenKeyboard.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>

namespace {

constexpr int DefaultWaitMilliseconds = 10000;
// A text awaited in a file (a player's log) may take the length of several clips.
constexpr int TextPatienceMilliseconds = 60000;
constexpr int DragStepMilliseconds = 16;
constexpr int SettlePatienceMilliseconds = 60000;
// An expectation may take this long to come true: a window slides away, a caption
// changes once the message that changes it has been handled.
constexpr int ExpectationPatienceMilliseconds = 3000;
// How long the end of a navigation must hold before settle believes it: a play list
// is posted to come up after the worker has ended.
constexpr int SettledForMilliseconds = 300;
// A box still up this long after its tap is tapped again (the tap was lost).
constexpr std::chrono::milliseconds BoxPatience{1000};

bool VisibleWindow(const std::string& className) {
    HWND window = FindWindowW(platform::WideFromUtf8(className).c_str(), nullptr);
    return window && IsWindowVisible(window);
}

std::wstring Caption(HWND window) {
    wchar_t text[2100] = {};
    GetWindowTextW(window, text, 2100);
    return text;
}

// A navigation is still at work: a worker runs, or its wait or progress dialog is up.
bool Busy(BrowserWnd& view) {
    return view.RunningWorkers() > 0 || VisibleWindow("WaitDialog") || VisibleWindow("ProgressDialog");
}

void Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

void Touch(POINT at) {
    platform::InjectTouch(platform::TouchPhase::Down, at);
    Pause(30);
    platform::InjectTouch(platform::TouchPhase::Up, at);
    Pause(30);
}

// The first shown keyboard among these windows and below them: a keyboard is a child of
// the window whose text box it types into.
HWND ShownKeyboardFrom(HWND first) {
    for (HWND window = first; window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (!IsWindowVisible(window))
            continue;
        wchar_t name[32] = {};
        GetClassNameW(window, name, 32);
        if (std::wstring_view(name) == L"FtKeyboard")
            return window;
        if (HWND inside = ShownKeyboardFrom(GetWindow(window, GW_CHILD)))
            return inside;
    }
    return nullptr;
}

HWND ShownKeyboard() { return ShownKeyboardFrom(FindWindowW(nullptr, nullptr)); }

std::optional<POINT> PointFromAnswer(LRESULT answer) {
    if (answer == 0)
        return std::nullopt;
    return POINT{static_cast<short>(LOWORD(answer)), static_cast<short>(HIWORD(answer))};
}

// A key of the keyboard shown: a character, or space, enter, backspace, shift, hide,
// symbols, letters or language.
std::optional<POINT> KeyOnScreen(const std::string& name) {
    static const std::pair<const char*, KeyAction> named[] = {
        {"space", KeyAction::Space},     {"enter", KeyAction::Enter},       {"backspace", KeyAction::Backspace},
        {"shift", KeyAction::Shift},     {"hide", KeyAction::Hide},         {"symbols", KeyAction::Symbols},
        {"letters", KeyAction::Letters}, {"language", KeyAction::Language},
    };
    HWND keyboard = ShownKeyboard();
    if (!keyboard || name.empty())
        return std::nullopt;
    KeyAction action = KeyAction::Type;
    wchar_t character = 0;
    auto found = std::find_if(std::begin(named), std::end(named), [&](const auto& pair) { return name == pair.first; });
    if (found != std::end(named))
        action = found->second;
    else if (std::wstring wide = platform::WideFromUtf8(name); wide.size() == 1)
        character = wide[0];
    else
        return std::nullopt;
    return PointFromAnswer(SendMessageW(keyboard, OnScreenKeyboard::FindKeyMessage(), static_cast<WPARAM>(action),
                                        static_cast<LPARAM>(character)));
}

std::optional<POINT> CandidateOnScreen(const std::string& text) {
    HWND keyboard = ShownKeyboard();
    if (!keyboard)
        return std::nullopt;
    std::wstring wide = platform::WideFromUtf8(text);
    return PointFromAnswer(
        SendMessageW(keyboard, OnScreenKeyboard::FindCandidateMessage(), 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

// The bytes of a device file; nothing while it does not exist.
std::optional<std::string> DeviceFileText(const std::wstring& devicePath) {
    return platform::ReadFileContents(devicePath);
}

// The resident memory of this process in KiB, 0 when unknown.
long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return 0;
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = part.empty() ? std::string::npos : text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size()))
        ++count;
    return count;
}

} // namespace

std::unique_ptr<ScriptRunner> ScriptRunner::FromFile(const std::filesystem::path& file, MainApp& app) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return nullptr;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return std::make_unique<ScriptRunner>(ScriptLines(bytes), app);
}

ScriptRunner::ScriptRunner(std::vector<std::string> lines, MainApp& app) : m_lines(std::move(lines)), m_app(app) {}

ScriptRunner::~ScriptRunner() {
    MessageBoxWnd::SetShownObserver(nullptr);
    if (m_thread.joinable()) {
        m_programEnded = true;
        m_thread.join();
    }
}

void ScriptRunner::Start() {
    m_programThread = GetCurrentThreadId();
    MessageBoxWnd::SetShownObserver([shown = m_shown](MessageBoxWnd& box) {
        RECT place = box.Button(0) ? box.Button(0)->WindowRect() : RECT{};
        std::string text = platform::Utf8FromWide(box.Text());
        std::replace_if(
            text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        std::lock_guard guard(shown->lock);
        shown->boxes.push_back({box.GetHwnd(), text, {(place.left + place.right) / 2, (place.top + place.bottom) / 2}});
    });
    m_navigationsSettled = m_app.Browser().Navigations();
    m_thread = std::thread([this] { Run(); });
}

int ScriptRunner::Finish() {
    MessageBoxWnd::SetShownObserver(nullptr);
    m_programEnded = true;
    if (m_thread.joinable())
        m_thread.join();
    return m_exitCode;
}

bool ScriptRunner::Check() {
    for (std::size_t number = 1; number <= m_lines.size(); ++number) {
        if (std::optional<std::string> error = ScriptLineError(m_lines[number - 1])) {
            std::fprintf(stderr, "script line %zu (%s): %s\n", number, m_lines[number - 1].c_str(), error->c_str());
            m_exitCode = BadLine;
            return false;
        }
    }
    return true;
}

void ScriptRunner::Run() {
    if (!WaitFor([this] { return m_app.Started(); }, DefaultWaitMilliseconds))
        return; // the program ended before its windows came up
    for (std::size_t number = 1; number <= m_lines.size() && !m_programEnded; ++number) {
        std::string line = m_lines[number - 1];
        line.erase(line.find_last_not_of(" \t") + 1);
        std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
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

// One line being run: its words after the command, and how it ended.
struct ScriptRunner::Line {
    explicit Line(const std::string& text) : words(text) {}

    std::istringstream words;
    std::string error;
    int code = 0;

    std::string Rest() {
        std::string text;
        std::getline(words >> std::ws, text);
        return text;
    }
    int Timeout() {
        int milliseconds = DefaultWaitMilliseconds;
        words >> milliseconds;
        return milliseconds;
    }
    bool Fail(const std::string& why) {
        error = why;
        code = Failed;
        return false;
    }
    bool Bad(const std::string& why) {
        error = why;
        code = BadLine;
        return false;
    }
};

bool ScriptRunner::Step(const std::string& text, std::string& error, int& code) {
    Line line(text);
    std::string command;
    line.words >> command;
    std::optional<bool> done = Finger(command, line);
    if (!done)
        done = Wait(command, line);
    if (!done)
        done = Check(command, line);
    if (!done)
        done = Flow(command, line);
    if (!done)
        done = line.Bad("unknown command");
    error = line.error;
    code = line.code;
    return *done;
}

std::optional<bool> ScriptRunner::Finger(const std::string& command, Line& line) {
    if (command == "tap") {
        POINT at{};
        if (!(line.words >> at.x >> at.y))
            return line.Bad("tap needs X Y");
        Touch(at);
        return true;
    }
    if (command == "press" || command == "move" || command == "release") {
        POINT at{};
        if (!(line.words >> at.x >> at.y))
            return line.Bad(command + " needs X Y");
        platform::TouchPhase phase = command == "press"  ? platform::TouchPhase::Down
                                     : command == "move" ? platform::TouchPhase::Move
                                                         : platform::TouchPhase::Up;
        platform::InjectTouch(phase, at);
        Pause(30);
        return true;
    }
    if (command == "drag") {
        POINT from{}, to{};
        int milliseconds = 0;
        if (!(line.words >> from.x >> from.y >> to.x >> to.y >> milliseconds))
            return line.Bad("drag needs X1 Y1 X2 Y2 MS");
        int steps = std::max(1, milliseconds / DragStepMilliseconds);
        platform::InjectTouch(platform::TouchPhase::Down, from);
        for (int step = 1; step <= steps; ++step) {
            Pause(DragStepMilliseconds);
            auto between = [&](LONG a, LONG b) {
                return static_cast<LONG>(a + (static_cast<long long>(b) - a) * step / steps);
            };
            platform::InjectTouch(platform::TouchPhase::Move, POINT{between(from.x, to.x), between(from.y, to.y)});
        }
        platform::InjectTouch(platform::TouchPhase::Up, to);
        Pause(30);
        return true;
    }
    if (command == "type") {
        for (wchar_t character : platform::WideFromUtf8(line.Rest())) {
            if (!platform::InjectCharacter(character))
                return line.Fail("nothing has the input focus");
            Pause(10);
        }
        return true;
    }
    if (command == "key") {
        std::string name = line.Rest();
        wchar_t character = name == "Enter" ? 13 : name == "Backspace" ? 8 : 0;
        if (!character)
            return line.Bad("unknown key " + name);
        return platform::InjectCharacter(character) ? true : line.Fail("nothing has the input focus");
    }
    if (command == "tap-key" || command == "tap-candidate") {
        std::string name = line.Rest();
        // The keys tapped before may still be on their way to the keyboard: a candidate
        // they bring, or a key of the layout they switch to, is waited for.
        std::optional<POINT> at;
        WaitFor([&] { return (at = command == "tap-key" ? KeyOnScreen(name) : CandidateOnScreen(name)).has_value(); },
                DefaultWaitMilliseconds);
        if (!at)
            return line.Fail("no " + command.substr(4) + " \"" + name + "\" on the keyboard shown");
        Touch(*at);
        return true;
    }
    if (command == "tap-link") {
        std::string part = line.Rest();
        std::optional<POINT> at = LinkOnScreen(m_app.Browser(), platform::WideFromUtf8(part));
        if (!at)
            return line.Fail("no link holding \"" + part + "\" in the page shown");
        Touch(*at);
        return true;
    }
    return std::nullopt;
}

std::optional<bool> ScriptRunner::Wait(const std::string& command, Line& line) {
    if (command == "wait") {
        int milliseconds = 0;
        if (!(line.words >> milliseconds))
            return line.Bad("wait needs MS");
        WaitFor([] { return false; }, milliseconds);
        return true;
    }
    if (command == "wait-window") {
        std::string name;
        line.words >> name;
        if (!WaitFor([&] { return VisibleWindow(name); }, line.Timeout()))
            return line.Fail("no window " + name + " came");
        // Answered once the window's thread takes messages again: its opening slide is over
        // and a finger's touch is no longer dropped as stale.
        SendMessageW(FindWindowW(platform::WideFromUtf8(name).c_str(), nullptr), WM_NULL, 0, 0);
        return true;
    }
    if (command == "wait-file") {
        std::string path;
        line.words >> path;
        std::wstring device = platform::WideFromUtf8(path);
        return WaitFor([&] { return DeviceFileText(device).has_value(); }, line.Timeout())
                   ? true
                   : line.Fail("no file " + path + " came");
    }
    if (command == "wait-text") {
        std::string path;
        std::size_t count = 0;
        if (!(line.words >> path >> count))
            return line.Bad("wait-text needs DEVICEPATH COUNT TEXT");
        std::string text = line.Rest();
        std::wstring device = platform::WideFromUtf8(path);
        return WaitFor([&] { return Occurrences(DeviceFileText(device).value_or(""), text) >= count; },
                       TextPatienceMilliseconds)
                   ? true
                   : line.Fail(path + " did not come to hold \"" + text + "\" " + std::to_string(count) + " times");
    }
    if (command == "wait-page") {
        BrowserWnd& view = m_app.Browser();
        if (!WaitFor([&] { return view.PageReady() && !Busy(view); }, line.Timeout()))
            return line.Fail("no page became ready");
        // Answered once the view has handled what came before: a tap from now on is newer
        // than the closing of the progress dialog, which drops older taps as stale.
        SendMessageW(view.GetHwnd(), WM_NULL, 0, 0);
        return true;
    }
    if (command == "wait-raised")
        return WaitFor([] { return platform::RemoteRaises() > 0; }, line.Timeout()) ? true
                                                                                    : line.Fail("nothing raised it");
    return std::nullopt;
}

std::optional<bool> ScriptRunner::Check(const std::string& command, Line& line) {
    if (command == "screenshot") {
        std::filesystem::path file = line.Rest();
        if (file.empty())
            return line.Bad("screenshot needs FILE");
        if (file.has_parent_path())
            std::filesystem::create_directories(file.parent_path());
        return platform::SaveScreenshot(file) ? true : line.Fail("cannot write " + file.string());
    }
    if (command == "expect-window" || command == "expect-no-window") {
        std::string name;
        line.words >> name;
        bool wanted = command == "expect-window";
        return WaitFor([&] { return VisibleWindow(name) == wanted; }, ExpectationPatienceMilliseconds)
                   ? true
                   : line.Fail(wanted ? "no window " + name : "a window " + name + " is up");
    }
    if (command == "expect-caption") {
        std::wstring expected = platform::WideFromUtf8(line.Rest());
        std::wstring caption;
        return WaitFor([&] { return (caption = Caption(FindWindowW(L"MainWnd", nullptr))) == expected; },
                       ExpectationPatienceMilliseconds)
                   ? true
                   : line.Fail("the caption is \"" + platform::Utf8FromWide(caption) + "\"");
    }
    if (command == "quit") {
        EndProgram();
        line.code = -1;
        return true;
    }
    return std::nullopt;
}

std::optional<bool> ScriptRunner::Flow(const std::string& command, Line& line) {
    if (command == "settle")
        return Settle(line);
    if (command == "try-link") {
        std::string part = line.Rest();
        std::optional<POINT> at = LinkOnScreen(m_app.Browser(), platform::WideFromUtf8(part));
        if (at)
            Touch(*at);
        else
            std::printf("no link %s\n", part.c_str());
        m_linkMissed = !at;
        return true;
    }
    if (command == "if-window") {
        std::string name;
        line.words >> name;
        std::string rest = line.Rest();
        if (rest.empty())
            return line.Bad("if-window needs CLASS COMMAND");
        if (!VisibleWindow(name))
            return true;
        return Step(rest, line.error, line.code);
    }
    return std::nullopt;
}

bool ScriptRunner::Settle(Line& line) {
    BrowserWnd& view = m_app.Browser();
    int patience = SettlePatienceMilliseconds;
    line.words >> patience;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(patience);
    // The navigation the lines before started, unless they found nothing to follow.
    if (!m_linkMissed && !WaitFor([&] { return view.Navigations() > m_navigationsSettled; }, patience))
        return line.Fail("no navigation began");
    m_linkMissed = false;
    auto quietSince = std::chrono::steady_clock::now();
    int boxes = 0;
    bool playList = false;
    for (;;) {
        auto now = std::chrono::steady_clock::now();
        if (m_programEnded || now > deadline)
            return line.Fail("the navigation did not end");
        if (int answered = AnswerBoxes(); answered > 0 || VisibleWindow("FtMessageBox")) {
            boxes += answered;
            quietSince = now;
        } else if (playList = VisibleWindow("PlayListWnd"); Busy(view) || !(playList || view.PageReady())) {
            quietSince = now;
        } else if (now - quietSince >= std::chrono::milliseconds(SettledForMilliseconds)) {
            break;
        }
        Pause(10);
    }
    long long at =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    std::printf("settled %d %s %d %ld %lld\n", ++m_settled, playList ? "play-list" : "page", boxes, ResidentKilobytes(),
                at);
    std::fflush(stdout);
    return true;
}

int ScriptRunner::AnswerBoxes() {
    std::vector<ShownBox> fresh;
    {
        std::lock_guard guard(m_shown->lock);
        fresh.swap(m_shown->boxes);
    }
    int answered = 0;
    auto now = std::chrono::steady_clock::now();
    for (ShownBox& box : fresh) {
        if (!IsWindow(box.window) || !IsWindowVisible(box.window))
            continue; // answered already, by the lines of the script themselves
        std::printf("box: %s\n", box.text.c_str());
        std::fflush(stdout);
        m_answered.push_back({std::move(box), now - BoxPatience});
        ++answered;
    }
    std::erase_if(m_answered, [](const AnsweredBox& answered) {
        return !IsWindow(answered.box.window) || !IsWindowVisible(answered.box.window);
    });
    for (AnsweredBox& box : m_answered) {
        if (now - box.tapped < BoxPatience)
            continue;
        // Tapped once the box takes messages: a touch before would be dropped as stale.
        SendMessageW(box.box.window, WM_NULL, 0, 0);
        Touch(box.box.firstButton);
        box.tapped = std::chrono::steady_clock::now();
    }
    return answered;
}
