#include "settings/IniFile.h"

#include "platform/base/Decimal.h"
#include "platform/base/Utf8.h"
#include "platform/fs/FileApi.h"
#include "platform/fs/FileHandle.h"
#include "platform/fs/FileLock.h"
#include "platform/fs/FindFile.h"
#include "platform/fs/WholeFile.h"
#include "settings/IniDocument.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <optional>

namespace {

// Larger files are not settings files; refusing them keeps a stray file from exhausting memory.
constexpr DWORD MaximumFileSize = 16u << 20;

bool Exists(LPCWSTR file) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(file, &data);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

// The file's document; nothing when the arguments, the file or its mark are wrong.
std::optional<IniDocument> Load(LPCWSTR section, LPCWSTR key, LPCWSTR file, DWORD access) {
    if (!section || !*section || !key || !file || !Exists(file))
        return std::nullopt;
    platform::FileHandle handle(
        CreateFileW(file, access, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.IsOpen())
        return std::nullopt;
    DWORD high = 0;
    DWORD size = GetFileSize(handle.Get(), &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size <= 1 || size > MaximumFileSize)
        return std::nullopt;
    std::string bytes(size, '\0');
    DWORD read = 0;
    if (!ReadFile(handle.Get(), bytes.data(), size, &read, nullptr) || read != size)
        return std::nullopt;
    IniDocument document(std::move(bytes));
    if (!document.IsValid())
        return std::nullopt;
    return document;
}

// Decimal conversion as the device's runtime does it, held within an int.
int ParseDecimal(const std::wstring& text) {
    return static_cast<int>(std::clamp<long long>(platform::LeadingDecimal<wchar_t>(text), INT_MIN, INT_MAX));
}

} // namespace

bool IniReadString(LPCWSTR section, LPCWSTR key, std::wstring& value, LPCWSTR file) {
    auto document = Load(section, key, file, GENERIC_READ);
    if (!document)
        return false;
    auto text = document->Read(platform::Utf16FromWide(section), platform::Utf16FromWide(key));
    if (!text)
        return false;
    value = platform::WideFromUtf16(*text);
    return true;
}

bool IniReadInt(LPCWSTR section, LPCWSTR key, int& value, LPCWSTR file) {
    std::wstring text;
    if (!IniReadString(section, key, text, file))
        return false;
    value = ParseDecimal(text);
    return true;
}

bool IniWriteString(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR file) {
    // A line break in a value would end its line early and could start a section of its own.
    if (!key || !*key || !value || std::wcspbrk(value, L"\r\n"))
        return false;
    if (!file || !Exists(file))
        return false;
    // Read, change and replace under the lock: no other writer's update is lost.
    platform::FileLock lock(file);
    if (!lock.IsHeld())
        return false;
    auto document = Load(section, key, file, GENERIC_READ | GENERIC_WRITE);
    if (!document || !document->IsWritable())
        return false;
    std::optional<std::string> bytes =
        document->Write(platform::Utf16FromWide(section), platform::Utf16FromWide(key), platform::Utf16FromWide(value));
    return bytes && platform::ReplaceFileContents(file, *bytes);
}

bool IniWriteInt(LPCWSTR section, LPCWSTR key, int value, LPCWSTR file) {
    return IniWriteString(section, key, std::to_wstring(value).c_str(), file);
}
