#pragma once
// The favourites as files: one copy of a converted page per favourite in the program's
// \Favorite folder, named by the user; no index beside them. These are plain functions
// over the device's file calls, safe on any thread; the windows that use them are
// FavoriteWnd and FavoriteEditWnd.

#include "platform/base/Win32Types.h"

#include <string>
#include <string_view>
#include <vector>

struct FavoriteEntry {
    // The file name up to its last "." (the whole name when it has none).
    std::wstring title;
    std::wstring path;
    // The file's creation time in local time (FavoriteDateText).
    std::wstring dateText;
};

// What keeps a typed name from becoming a favourite's file name.
enum class FavoriteNameFault {
    None,
    Empty,
    // One of \ / : * ? " < > |: a name must not lead the file out of the folder, or make
    // a path the device cannot hold.
    ForbiddenCharacter,
    // "." and ".." are folders, and the list hides names that begin with a dot.
    LeadingDot,
};

// The program folder's \Favorite.
std::wstring FavoriteFolder();
// The favourite `name` is kept in: the folder, "\", the name and ".html".
std::wstring FavoritePath(std::wstring_view name);
FavoriteNameFault CheckFavoriteName(std::wstring_view name);
std::wstring FavoriteTitle(std::wstring_view fileName);

// Every file of `folder` in the order the file system gives them, of any extension,
// leaving out directories and names that begin with "."; none when the folder is missing.
std::vector<FavoriteEntry> ListFavorites(const std::wstring& folder);

// "YYYY年MM月DD日 HH:MM" for a Chinese user interface (0x0804), "YYYY-MM-DD HH:MM" for
// any other; every field but the year is two digits, zero-padded.
std::wstring FavoriteDateText(const SYSTEMTIME& local, WORD language);
// A creation time (UTC) in local time, in the user interface's language; empty when the
// time cannot be converted.
std::wstring FavoriteDateText(const FILETIME& creationTime);
