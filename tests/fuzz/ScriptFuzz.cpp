#include "FuzzTargets.h"

#include "app/ScriptSyntax.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

int FuzzScript(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines = ScriptLines(bytes);
    std::size_t breaks = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    if (lines.size() != breaks + (bytes.empty() || bytes.ends_with('\n') ? 0 : 1))
        std::abort();
    for (const std::string& line : lines) {
        if (line.find('\n') != std::string::npos)
            std::abort();
        std::optional<std::string> error = ScriptLineError(line);
        // A command that runs another (if-window) is checked the same way, however deep.
        if (!error && line.starts_with("if-window ") && line.size() > 10)
            (void)ScriptLineError(std::string_view(line).substr(10));
    }
    return 0;
}
