// quillora [--root DIR] [--demo] [--headless] [--script FILE] [--scale N] [--lang 0409|0804]
// The program: its windows in a 480 × 720 desktop window (or on the headless screen),
// its device files under the device root, optionally the offline demo site and a
// script that drives it.

#include "app/DemoSite.h"
#include "app/MainApp.h"
#include "app/ScriptRunner.h"
#include "art/ProgramArt.h"
#include "platform/device/Module.h"
#include "platform/display/SdlDisplay.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/window/DeviceState.h"
#include "platform/window/RemoteWindows.h"
#include "toolkit/FtApplication.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

struct Options {
    std::optional<std::string> root;
    std::optional<std::string> script;
    std::optional<LANGID> language;
    bool demo = false;
    bool headless = false;
    bool help = false;
    bool version = false;
    int scale = 1;
};

const char* const Usage =
    "usage: quillora [--root DIR] [--demo] [--headless] [--script FILE] [--scale N] [--lang 0409|0804]\n"
    "  --root DIR       the device root (else $QUILLORA_ROOT, else ~/.local/share/quillora/device)\n"
    "  --demo           the offline demo: the fixture site inside the program stands in for every host\n"
    "  --headless       the in-memory screen instead of the desktop window\n"
    "  --script FILE    drives the program from FILE, one command a line (see the README)\n"
    "  --scale N        the desktop window's zoom, 1 to 4\n"
    "  --lang 0409|0804 the user interface's language: English or Chinese\n"
    "  --help           this text\n"
    "  --version        the program's version\n";

std::optional<Options> Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        bool hasValue = i + 1 < argc;
        if (option == "--help")
            options.help = true;
        else if (option == "--version")
            options.version = true;
        else if (option == "--demo")
            options.demo = true;
        else if (option == "--headless")
            options.headless = true;
        else if (option == "--root" && hasValue)
            options.root = argv[++i];
        else if (option == "--script" && hasValue)
            options.script = argv[++i];
        else if (option == "--scale" && hasValue)
            options.scale = std::atoi(argv[++i]);
        else if (option == "--lang" && hasValue) {
            std::string language = argv[++i];
            if (language != "0409" && language != "0804")
                return std::nullopt;
            options.language = static_cast<LANGID>(std::strtoul(language.c_str(), nullptr, 16));
        } else
            return std::nullopt;
    }
    if (options.scale < 1 || options.scale > 4)
        return std::nullopt;
    return options;
}

} // namespace

int main(int argc, char** argv) {
    std::optional<Options> options = Parse(argc, argv);
    if (!options) {
        std::fprintf(stderr, "%s", Usage);
        return 2;
    }
    if (options->help) {
        std::printf("%s", Usage);
        return 0;
    }
    if (options->version) {
        std::printf("quillora %s\n", QUILLORA_VERSION);
        return 0;
    }
    if (options->root)
        platform::SetDeviceRoot(*options->root);
    if (options->language)
        platform::SetUserInterfaceLanguage(*options->language);
    RegisterProgramArt();
    // A second start finds this one's main window and brings it forward.
    platform::ShareWindowsWithOtherProcesses();
    MainApp app;
    // Only the one copy that runs opens a window or serves the demo: a second start
    // leaves the first one's window and host map alone.
    std::unique_ptr<DemoSite> demo;
    std::unique_ptr<platform::SdlDisplay> display;
    app.SetStartHook([&] {
        if (options->demo && !(demo = DemoSite::Start()))
            return false;
        if (!options->headless && !(display = platform::SdlDisplay::Open(options->scale))) {
            std::fprintf(stderr, "quillora: there is no desktop to open the window on (--headless runs without one)\n");
            return false;
        }
        return true;
    });
    std::unique_ptr<ScriptRunner> script;
    if (options->script) {
        if (!(script = ScriptRunner::FromFile(*options->script, app))) {
            std::fprintf(stderr, "quillora: cannot read the script %s\n", options->script->c_str());
            return 2;
        }
        if (!script->Check())
            return ScriptRunner::BadLine;
        script->Start();
    }
    int result = ToolkitMain(GetModuleHandleW(nullptr));
    int scripted = script ? script->Finish() : 0;
    return scripted != 0 ? scripted : result;
}
