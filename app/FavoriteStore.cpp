#include "app/FavoriteStore.h"

#include "platform/base/Time.h"
#include "platform/fs/FileApi.h"
#include "platform/fs/FindFile.h"
#include "platform/window/DeviceState.h"
#include "settings/ProgramFolder.h"

namespace {

constexpr std::wstring_view ForbiddenCharacters = L"\\/:*?\"<>|";
// Every Chinese user interface (0x0804, 0x0404, 0x0C04, ...) shares the primary language.
constexpr WORD ChinesePrimaryLanguage = 0x04;

std::wstring Padded(unsigned value, std::size_t digits) {
    std::wstring text = std::to_wstring(value);
    return text.size() < digits ? std::wstring(digits - text.size(), L'0') + text : text;
}

using platform::FileSearch;

} // namespace

std::wstring FavoriteFolder() { return ProgramFolderPath(L"\\Favorite"); }

std::wstring FavoritePath(std::wstring_view name) { return FavoriteFolder() + L"\\" + std::wstring(name) + L".html"; }

FavoriteNameFault CheckFavoriteName(std::wstring_view name) {
    if (name.empty())
        return FavoriteNameFault::Empty;
    if (name.find_first_of(ForbiddenCharacters) != std::wstring_view::npos)
        return FavoriteNameFault::ForbiddenCharacter;
    if (name.front() == L'.')
        return FavoriteNameFault::LeadingDot;
    return FavoriteNameFault::None;
}

std::wstring FavoriteTitle(std::wstring_view fileName) {
    return std::wstring(fileName.substr(0, fileName.rfind(L'.')));
}

std::vector<FavoriteEntry> ListFavorites(const std::wstring& folder) {
    std::vector<FavoriteEntry> entries;
    WIN32_FIND_DATAW found{};
    FileSearch search(folder + L"\\*.*", found);
    if (!search.Found())
        return entries;
    do {
        std::wstring_view name = found.cFileName;
        if (name.empty() || name.front() == L'.' || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        entries.push_back(FavoriteEntry{FavoriteTitle(name), folder + L"\\" + std::wstring(name),
                                        FavoriteDateText(found.ftCreationTime)});
    } while (search.Next(found));
    return entries;
}

std::wstring FavoriteDateText(const SYSTEMTIME& local, WORD language) {
    bool chinese = (language & 0x3FF) == ChinesePrimaryLanguage;
    return Padded(local.wYear, 4) + (chinese ? L"年" : L"-") + Padded(local.wMonth, 2) + (chinese ? L"月" : L"-") +
           Padded(local.wDay, 2) + (chinese ? L"日 " : L" ") + Padded(local.wHour, 2) + L":" + Padded(local.wMinute, 2);
}

std::wstring FavoriteDateText(const FILETIME& creationTime) {
    FILETIME local{};
    SYSTEMTIME time{};
    if (!FileTimeToLocalFileTime(&creationTime, &local) || !FileTimeToSystemTime(&local, &time))
        return {};
    return FavoriteDateText(time, GetUserDefaultUILanguage());
}
