// quillora-tool: the program's cores without its windows, for people and tests.
// Every subcommand takes --root DIR (anywhere among its arguments) and honours
// QUILLORA_ROOT and QUILLORA_HOSTS.

#include "Commands.h"
#include "ToolArguments.h"

#include "platform/fs/DeviceRoot.h"

#include <cstdio>

namespace {

constexpr char Usage[] = "usage: quillora-tool [--root DIR] COMMAND ...\n"
                         "  ini get [--int] SECTION KEY FILE\n"
                         "  ini set [--int] SECTION KEY VALUE FILE\n"
                         "  fetch URL\n"
                         "  convert KIND URL   (KIND: youku-search-video, youku-search-playlist, youku-playlist,\n"
                         "                      youku-channel, tudou-search-video, tudou-search-playlist,\n"
                         "                      tudou-top, tudou-playlist, 56-search-index, 56-videolist,\n"
                         "                      56-album, 6cn-search, 6cn-playlist, 6cn-videos)\n"
                         "  navigate URL       (one intercepted navigation, as the program runs it)\n"
                         "  gdi-demo OUT.png   (a test card of the drawing layer)\n"
                         "  resolve SERVER URL (SERVER: 1 or 2, the parse server)\n";

} // namespace

int main(int argc, char** argv) {
    ToolArguments arguments = ParseToolArguments(argc, argv);
    if (!arguments.error.empty() || arguments.words.empty()) {
        std::fprintf(stderr, "%s%s", arguments.error.empty() ? "" : (arguments.error + "\n").c_str(), Usage);
        return 2;
    }
    if (arguments.root)
        platform::SetDeviceRoot(*arguments.root);
    const std::string& command = arguments.words.front();
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
    if (result == 2)
        std::fprintf(stderr, "%s", Usage);
    return result;
}
