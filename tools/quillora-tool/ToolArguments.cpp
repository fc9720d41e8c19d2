#include "ToolArguments.h"

ToolArguments ParseToolArguments(int argc, char** argv) {
    ToolArguments arguments;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word == "--root") {
            if (i + 1 >= argc) {
                arguments.error = "--root needs a directory";
                break;
            }
            arguments.root = argv[++i];
        } else if (word.rfind("--root=", 0) == 0) {
            arguments.root = word.substr(7);
        } else {
            arguments.words.push_back(std::move(word));
        }
    }
    return arguments;
}
