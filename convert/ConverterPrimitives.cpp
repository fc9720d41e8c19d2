#include "convert/ConverterPrimitives.h"

#include "platform/fs/FileApi.h"
#include "platform/fs/FileHandle.h"

#include <algorithm>

namespace {

void ReplaceEachOnce(std::string& text, std::string_view pattern, std::string_view replacement) {
    std::string out;
    std::size_t pos = 0;
    for (std::size_t at; (at = text.find(pattern, pos)) != std::string::npos; pos = at + pattern.size()) {
        out.append(text, pos, at - pos);
        out += replacement;
    }
    out.append(text, pos);
    text = std::move(out);
}

} // namespace

void ReplaceAll(std::string& text, std::string_view pattern, std::string_view replacement) {
    if (pattern.empty() || text.find(pattern) == std::string::npos)
        return;
    if (replacement.find(pattern) != std::string_view::npos) {
        ReplaceEachOnce(text, pattern, replacement);
        return;
    }
    // `out` is what precedes the unread input. No occurrence starts in `out` before
    // `checked`; a new one can only start within the pattern's length before a
    // replacement, so each search looks back that far and no further.
    const std::size_t m = pattern.size();
    const std::string_view input(text);
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    std::size_t checked = 0;
    // A replacement that forms a new occurrence with the text after it can feed the
    // loop for ever; the converters' pairs never do. Such a cascade is cut off here.
    std::size_t budget = 64 * (text.size() + 64);
    const std::size_t largest = 8 * text.size() + (1 << 20);
    std::string window;
    while (budget-- > 0 && out.size() <= largest) {
        std::size_t tail = out.size() - checked;
        window.assign(out, checked);
        window.append(input.substr(pos, m - 1));
        std::size_t inWindow = window.find(pattern);
        std::size_t start;
        if (inWindow != std::string::npos && inWindow < tail) {
            start = checked + inWindow;
            std::size_t fromOut = out.size() - start;
            if (fromOut >= m) {
                out.replace(start, m, replacement);
            } else {
                out.resize(start);
                pos += m - fromOut;
                out += replacement;
            }
        } else {
            std::size_t next = input.find(pattern, pos);
            if (next == std::string_view::npos)
                break;
            out.append(input.substr(pos, next - pos));
            start = out.size();
            out += replacement;
            pos = next + m;
        }
        checked = start - std::min(start, m - 1);
    }
    out.append(input.substr(pos));
    text = std::move(out);
}

void StripFirstScript(std::string& text) {
    static constexpr std::string_view Open = "<script", Close = "</script>";
    std::size_t open = text.find(Open);
    std::size_t close = text.find(Close);
    if (open == std::string::npos || close == std::string::npos || close < open)
        return;
    text.erase(open, close + Close.size() - open);
}

bool WritePageFile(const std::wstring& path, const std::string& text) {
    bool written = false;
    {
        platform::FileHandle file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsOpen())
            return false;
        // The page is written and closed; it need not reach the disk before the browser reads it.
        DWORD count = 0, end = 0;
        written = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &count, nullptr) &&
                  count == text.size() && WriteFile(file.Get(), "\n", 1, &end, nullptr) && end == 1;
    }
    if (!written)
        DeleteFileW(path.c_str());
    return written;
}

bool WriteLocalPage(CoreUi& ui, const std::wstring& path, const std::string& text) {
    bool written = WritePageFile(path, text);
    ui.CloseWaitDialog();
    return written;
}
