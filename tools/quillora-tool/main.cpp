// quillora-tool: the program's cores without its windows, for people and tests.
// Every subcommand takes --root DIR (anywhere among its arguments) and honours
// QUILLORA_ROOT and QUILLORA_HOSTS.

#include "Commands.h"
#include "ToolArguments.h"

#include "convert/ClassifierRules.h"
#include "platform/fs/DeviceRoot.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The converters' names, comma-separated, a few to a line, closing the parenthesis.
std::string ConverterNames() {
    const std::string indent(22, ' ');
    std::string names, line = indent;
    std::vector<const ClassifierRule*> rules = ConverterRules();
    for (std::size_t i = 0; i < rules.size(); ++i) {
        std::string name = std::string(rules[i]->routine) + (i + 1 < rules.size() ? "," : ")");
        if (line.size() + name.size() > 100) {
            names += line + "\n";
            line = indent;
        }
        line += (line.size() > indent.size() ? " " : "") + name;
    }
    return names + line + "\n";
}

std::string Usage() {
    return "usage: quillora-tool [--root DIR] COMMAND ...\n"
           "  --root DIR         the device root (anywhere among the arguments)\n"
           "  --help             this text\n"
           "  --version          the tool's version\n"
           "  ini get [--int] SECTION KEY FILE\n"
           "  ini set [--int] SECTION KEY VALUE FILE\n"
           "  fetch URL\n"
           "  convert KIND URL   (one converter; KIND is one of\n" +
           ConverterNames() +
           "  navigate URL       (one intercepted navigation, as the program runs it)\n"
           "  gdi-demo OUT.png   (a test card of the drawing layer)\n"
           "  toolkit-demo OUTDIR (screenshots of every window transition)\n"
           "  render PAGE OUT.png [--scroll Y] (a device page as the browser view shows it)\n"
           "  browse URL OUT.png [--scroll Y]  (an address opened in the browser view, converted)\n"
           "  resolve SERVER URL (SERVER: 1 or 2, the parse server)\n"
           "  cache size FOLDER  (the browser cache's size text; FOLDER is a device path)\n"
           "  cache clean FOLDER (empties FOLDER as the program's exit does, keeping FOLDER)\n";
}

} // namespace

int main(int argc, char** argv) {
    ToolArguments arguments = ParseToolArguments(argc, argv);
    if (!arguments.error.empty() || arguments.words.empty()) {
        std::fprintf(stderr, "%s%s", arguments.error.empty() ? "" : (arguments.error + "\n").c_str(), Usage().c_str());
        return 2;
    }
    const std::string& command = arguments.words.front();
    if (command == "--help") {
        std::printf("%s", Usage().c_str());
        return 0;
    }
    if (command == "--version") {
        std::printf("quillora-tool %s\n", QUILLORA_VERSION);
        return 0;
    }
    if (arguments.root)
        platform::SetDeviceRoot(*arguments.root);
    Words rest(arguments.words.begin() + 1, arguments.words.end());
    int result = 2;
    if (command == "ini")
        result = RunIniCommand(rest);
    else if (command == "fetch")
        result = RunFetchCommand(rest);
    else if (command == "convert")
        result = RunConvertCommand(rest);
    else if (command == "resolve")
        result = RunResolveCommand(rest);
    else if (command == "navigate")
        result = RunNavigateCommand(rest);
    else if (command == "gdi-demo")
        result = RunGdiDemoCommand(rest);
    else if (command == "toolkit-demo")
        result = RunToolkitDemoCommand(rest);
    else if (command == "render")
        result = RunRenderCommand(rest);
    else if (command == "browse")
        result = RunBrowseCommand(rest);
    else if (command == "cache")
        result = RunCacheCommand(rest);
    if (result == 2)
        std::fprintf(stderr, "%s", Usage().c_str());
    return result;
}
