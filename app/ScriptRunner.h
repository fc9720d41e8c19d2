#pragma once
// Drives the running program from a script, the way a finger and a keyboard would, on a
// thread of its own while the program's loop runs as it always does (its modal boxes
// and menus included). One command a line; "#" starts a comment:
//   tap X Y                      a finger down and up at a point of the screen
//   drag X1 Y1 X2 Y2 MS          a finger moved from one point to the other in MS
//   press X Y, move X Y, release X Y   a finger put down, moved and lifted, one at a time
//                                (a press held past 400 ms on a text box opens the loupe)
//   type TEXT                    the text, a character at a time, as typing delivers it
//   key NAME                     Enter or Backspace
//   tap-link PART                a link of the page shown whose address holds PART
//   tap-key NAME                 a key of the on-screen keyboard shown: its character, or
//                                space, enter, backspace, shift, hide, symbols, letters,
//                                language (中/英)
//   tap-candidate TEXT           a candidate of the keyboard's pinyin bar (a key or a
//                                candidate is waited for, 10 s)
//   wait MS
//   wait-window CLASS [MS]       until a window of that class is visible (10 s)
//   wait-file DEVICEPATH [MS]    until the device file exists (10 s)
//   wait-text DEVICEPATH N TEXT  until the device file holds TEXT N times (60 s)
//   wait-page [MS]               until the browser's page is ready to scroll and the
//                                navigation's dialogs are gone (10 s)
//   wait-raised [MS]             until another start of the program raised this one
//   settle [MS]                  until the navigation the lines before started has ended
//                                (60 s): no worker runs, and the page is ready or a play
//                                list is up; a message box met on the way is answered
//                                with its first button. Says on stdout "box: TEXT" for
//                                each box and at the end "settled N OUTCOME BOXES RSS_KB
//                                MS" (MS: the system's monotonic clock)
//   try-link PART                tap-link when the page shown has such a link, else
//                                says "no link PART" on stdout and goes on
//   if-window CLASS COMMAND...   the command, when a window of that class is visible
//   screenshot FILE              the screen as a PNG
//   expect-window CLASS          a window of that class is visible (within 3 s)
//   expect-no-window CLASS       no window of that class is visible (within 3 s)
//   expect-caption TEXT          the main window's caption (within 3 s)
//   quit                         ends the program
// A line that cannot be followed ends the program with 2 before any line runs (see
// ScriptSyntax.h), a failed wait or expectation with 1, each
// with a message naming the line; the script's end ends the program, and the program's
// own end ends the script.

#include "platform/base/Win32Types.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class MainApp;

class ScriptRunner {
public:
    static constexpr int BadLine = 2;
    static constexpr int Failed = 1;

    // Null when the file cannot be read.
    static std::unique_ptr<ScriptRunner> FromFile(const std::filesystem::path& file, MainApp& app);
    ScriptRunner(std::vector<std::string> lines, MainApp& app);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Says on stderr the first line that cannot be followed; false when there is one.
    bool Check();
    // Starts the script; its quit goes to the calling thread, which runs the program.
    void Start();
    // The program's loop has ended: a wait under way gives up. Waits for the script's
    // thread; the script's exit code (0 when it ran to its end or to quit).
    int Finish();

private:
    void Run();
    struct Line;
    // Runs one line; false with `error` set when it failed.
    bool Step(const std::string& text, std::string& error, int& code);
    // The commands of the finger, of waiting and of checking: nothing for another's.
    std::optional<bool> Finger(const std::string& command, Line& line);
    std::optional<bool> Wait(const std::string& command, Line& line);
    std::optional<bool> Check(const std::string& command, Line& line);
    std::optional<bool> Flow(const std::string& command, Line& line);
    bool Settle(Line& line);
    // Answers the message boxes seen coming up that are still shown; how many.
    int AnswerBoxes();
    bool WaitFor(const std::function<bool()>& done, int milliseconds);
    void EndProgram();

    std::vector<std::string> m_lines;
    MainApp& m_app;
    DWORD m_programThread = 0;
    std::atomic<bool> m_programEnded{false};
    int m_exitCode = 0;
    std::thread m_thread;
    // The message boxes seen coming up (on whatever thread showed them), for settle; shared
    // with the observer, which a box on another thread may still be calling at the end.
    struct ShownBox {
        HWND window;
        std::string text;
        POINT firstButton;
    };
    struct ShownBoxes {
        std::mutex lock;
        std::vector<ShownBox> boxes;
    };
    std::shared_ptr<ShownBoxes> m_shown = std::make_shared<ShownBoxes>();
    // Boxes answered and not yet seen to go (a lost tap is given again).
    struct AnsweredBox {
        ShownBox box;
        std::chrono::steady_clock::time_point tapped;
    };
    std::vector<AnsweredBox> m_answered;
    // Navigations the browser view had begun when the last settle ended.
    int m_navigationsSettled = 0;
    bool m_linkMissed = false;
    int m_settled = 0;
};
