// ini get [--int] SECTION KEY FILE
// ini set [--int] SECTION KEY VALUE FILE
// FILE is a path on this machine: its folder stands in for the device root.

#include "Commands.h"

#include "platform/base/Utf8.h"
#include "platform/fs/DeviceRoot.h"
#include "settings/IniFile.h"

#include <charconv>
#include <cstdio>
#include <filesystem>

namespace {

using platform::WideFromUtf8;

std::wstring MountFile(const std::string& file) {
    std::filesystem::path host = std::filesystem::absolute(file);
    platform::MountDeviceRoot(host.parent_path());
    return L"\\" + WideFromUtf8(host.filename().string());
}

int Get(bool integer, const Words& words) {
    if (words.size() != 3)
        return 2;
    std::wstring file = MountFile(words[2]);
    std::wstring section = WideFromUtf8(words[0]), key = WideFromUtf8(words[1]);
    std::string printed;
    if (integer) {
        int value = 0;
        if (!IniReadInt(section.c_str(), key.c_str(), value, file.c_str()))
            return 1;
        printed = std::to_string(value);
    } else {
        std::wstring value;
        if (!IniReadString(section.c_str(), key.c_str(), value, file.c_str()))
            return 1;
        printed = platform::Utf8FromWide(value);
    }
    std::printf("%s\n", printed.c_str());
    return 0;
}

int Set(bool integer, const Words& words) {
    if (words.size() != 4)
        return 2;
    std::wstring section = WideFromUtf8(words[0]), key = WideFromUtf8(words[1]);
    if (integer) {
        int value = 0;
        const std::string& text = words[2];
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size())
            return 2;
        std::wstring file = MountFile(words[3]);
        return IniWriteInt(section.c_str(), key.c_str(), value, file.c_str()) ? 0 : 1;
    }
    std::wstring value = WideFromUtf8(words[2]);
    std::wstring file = MountFile(words[3]);
    return IniWriteString(section.c_str(), key.c_str(), value.c_str(), file.c_str()) ? 0 : 1;
}

} // namespace

int RunIniCommand(const Words& words) {
    if (words.empty())
        return 2;
    Words rest(words.begin() + 1, words.end());
    bool integer = !rest.empty() && rest.front() == "--int";
    if (integer)
        rest.erase(rest.begin());
    if (words[0] == "get")
        return Get(integer, rest);
    if (words[0] == "set")
        return Set(integer, rest);
    return 2;
}
