#include "app/ScriptSyntax.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace {

// The words a command takes, in order: 'n' a whole number, 'o' an optional number that
// ends the line, 'w' a word, 't' the rest of the line (not empty), 'r' the rest as a
// command of its own, 'k' the rest as a key's name, 'y' the rest as a key of the
// on-screen keyboard (one character, or the name of a key that types none).
struct Shape {
    std::string_view command;
    std::string_view words;
    std::string_view usage;
};

constexpr Shape Shapes[] = {
    {"tap", "nn", "X Y"},
    {"press", "nn", "X Y"},
    {"move", "nn", "X Y"},
    {"release", "nn", "X Y"},
    {"drag", "nnnnn", "X1 Y1 X2 Y2 MS"},
    {"type", "t", "TEXT"},
    {"key", "k", "Enter or Backspace"},
    {"tap-key", "y", "NAME"},
    {"tap-candidate", "t", "TEXT"},
    {"tap-link", "t", "PART"},
    {"try-link", "t", "PART"},
    {"wait", "n", "MS"},
    {"wait-window", "wo", "CLASS [MS]"},
    {"wait-file", "wo", "DEVICEPATH [MS]"},
    {"wait-text", "wnt", "DEVICEPATH COUNT TEXT"},
    {"wait-page", "o", "[MS]"},
    {"wait-raised", "o", "[MS]"},
    {"settle", "o", "[MS]"},
    {"screenshot", "t", "FILE"},
    {"expect-window", "w", "CLASS"},
    {"expect-no-window", "w", "CLASS"},
    {"expect-caption", "", "TEXT"},
    {"quit", "", ""},
    {"if-window", "wr", "CLASS COMMAND"},
};

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// The next word, taken off the front of `text`.
std::string_view NextWord(std::string_view& text) {
    text = Trimmed(text);
    std::size_t end = std::find_if(text.begin(), text.end(), IsSpace) - text.begin();
    std::string_view word = text.substr(0, end);
    text.remove_prefix(end);
    return word;
}

// How deep commands may run commands (if-window if-window ...).
constexpr int MaximumNesting = 4;

constexpr std::string_view NamedKeys[] = {"space", "enter",   "backspace", "shift",
                                          "hide",  "symbols", "letters",   "language"};

bool IsKeyOfTheKeyboard(std::string_view name) {
    if (std::find(std::begin(NamedKeys), std::end(NamedKeys), name) != std::end(NamedKeys))
        return true;
    // One character in UTF-8: a lead byte and its continuation bytes.
    return !name.empty() && std::all_of(name.begin() + 1, name.end(), [](char c) { return (c & 0xC0) == 0x80; }) &&
           (static_cast<unsigned char>(name[0]) < 0x80 || (name[0] & 0xC0) == 0xC0);
}

// A whole number, not negative: the screen's points, counts and milliseconds.
bool IsNumber(std::string_view word) {
    int number = 0;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    return error == std::errc() && end == word.data() + word.size() && number >= 0;
}

std::optional<std::string> LineError(std::string_view line, int nesting);

// Whether the words after the command fit the shape.
bool Fits(std::string_view shape, std::string_view rest, std::optional<std::string>& inner, int nesting) {
    for (char kind : shape) {
        if (kind == 't')
            return !Trimmed(rest).empty();
        if (kind == 'k')
            return Trimmed(rest) == "Enter" || Trimmed(rest) == "Backspace";
        if (kind == 'y')
            return IsKeyOfTheKeyboard(Trimmed(rest));
        if (kind == 'r') {
            std::string_view command = Trimmed(rest);
            if (command.empty() || command.front() == '#')
                return false;
            inner = nesting >= MaximumNesting ? std::optional<std::string>("commands nested too deep")
                                              : LineError(command, nesting + 1);
            return true;
        }
        std::string_view word = NextWord(rest);
        if (kind == 'o')
            return word.empty() || (IsNumber(word) && Trimmed(rest).empty());
        if (kind == 'n' && !IsNumber(word))
            return false;
        if (kind == 'w' && word.empty())
            return false;
    }
    // What is left after the last word is ignored, as a person would expect of "tap 1 2 # here".
    return true;
}

} // namespace

std::vector<std::string> ScriptLines(std::string_view bytes) {
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        std::size_t end = std::min(bytes.find('\n'), bytes.size());
        std::string_view line = bytes.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.emplace_back(line);
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    return lines;
}

std::optional<std::string> ScriptLineError(std::string_view line) { return LineError(line, 0); }

namespace {

std::optional<std::string> LineError(std::string_view line, int nesting) {
    std::string_view rest = line;
    if (Trimmed(rest).empty() || Trimmed(rest).front() == '#')
        return std::nullopt;
    std::string_view command = NextWord(rest);
    auto shape =
        std::find_if(std::begin(Shapes), std::end(Shapes), [&](const Shape& s) { return s.command == command; });
    if (shape == std::end(Shapes))
        return "unknown command";
    std::optional<std::string> inner;
    if (!Fits(shape->words, rest, inner, nesting))
        return std::string(command) + " needs " + std::string(shape->usage);
    if (inner)
        return "in its command: " + *inner;
    return std::nullopt;
}

} // namespace
