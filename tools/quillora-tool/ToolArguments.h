#pragma once
// The arguments of one quillora-tool run: "--root DIR" may stand anywhere and is taken
// out; everything else stays in order.

#include <optional>
#include <string>
#include <vector>

struct ToolArguments {
    std::optional<std::string> root;
    std::vector<std::string> words;
    std::string error; // set when the arguments cannot be used
};

ToolArguments ParseToolArguments(int argc, char** argv);
