#include "platform/text/AnsiText.h"

#include "platform/text/CodePages.h"
#include "platform/text/GbkCodec.h"

namespace platform {

std::string AnsiFromWide(std::wstring_view text) {
    if (text.empty())
        return {};
    int length = static_cast<int>(text.size());
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring WideFromAnsi(std::string_view text) {
    if (text.empty())
        return {};
    int length = static_cast<int>(text.size());
    int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring out(size, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, out.data(), size);
    return out;
}

} // namespace platform

namespace platform {

std::optional<std::string> AnsiFromUtf8(std::string_view text) { return GbkCodec::System().FromUtf8(text); }

} // namespace platform
