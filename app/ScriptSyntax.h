#pragma once
// The shape of a script's lines, checked before any of them runs, so that a script with
// a line the runner cannot follow does nothing at all. Each command has its words: a
// whole number, an optional last number, a word, or the rest of the line as text.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The lines of a script file, each without its line end (LF or CR LF).
std::vector<std::string> ScriptLines(std::string_view bytes);
// Why the line cannot be run, or nothing when it can (comments and empty lines too).
std::optional<std::string> ScriptLineError(std::string_view line);
