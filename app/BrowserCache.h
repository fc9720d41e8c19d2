#pragma once
// The browser's cache folder: where it is (the "Cache" shell folder of the registry, else
// the device's default), how much it holds, and the emptying walk shared by the settings
// window's cleaning and the main window's at exit.
//
// Plain functions over the device's file and registry calls, run synchronously on the
// user-interface thread; nothing is kept between calls. A cleaning never removes the
// folder it was given, never enters a symbolic link (this machine's root may hold them,
// the device cannot) and refuses a folder that is, or holds, the device's or the
// program's own folders.

#include "platform/base/Win32Types.h"

#include <cstdint>
#include <string>
#include <vector>

class FeedbackCalls;

// The cache folder when the registry names none.
inline constexpr wchar_t DefaultCacheFolder[] = L"\\Windows\\Profiles\\guest\\Temporary Internet Files\\Content.IE5\\";
// Below HKEY_CURRENT_USER; its string value "Cache" names the cache folder.
inline constexpr wchar_t ShellFoldersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// One entry of a folder listing.
struct FolderEntry {
    std::wstring name;
    bool folder = false;
    // A symbolic link of this machine's root, whatever it leads to.
    bool link = false;
    // The whole size of a file, both halves of the find data; 0 for a folder.
    std::uint64_t size = 0;
};

// What a walk found: the folders, the root first and every parent before its children,
// and the files (the links among them).
struct CacheWalk {
    std::vector<std::wstring> folders;
    std::vector<std::wstring> files;
};

struct CacheCleaning {
    // The root is, or holds, a folder the cleaning must never touch: nothing was walked.
    bool refused = false;
    CacheWalk walk;
    // The files and folders that went, in the order they went, and those left behind
    // (in use, protected).
    std::vector<std::wstring> removed;
    std::vector<std::wstring> left;
};

// The entries of a device folder whose names match `pattern`, "." and ".." never among
// them; none when the folder cannot be listed.
std::vector<FolderEntry> ListFolder(const std::wstring& folder, const wchar_t* pattern);
// `folder`, "\" and `name`, without doubling a backslash that ends the folder.
std::wstring JoinDevicePath(const std::wstring& folder, const std::wstring& name);

// The registry's "Cache" value when the key opens and the value reads, else the default.
std::wstring ReadCacheFolder();
// Opens the shell folders' key and writes "Cache": true when both succeed.
bool WriteCacheFolder(const std::wstring& folder);

// Every file below `folder`, counted whole; 0 for a folder that is missing.
std::uint64_t CacheSize(const std::wstring& folder);
// "1023 B", "1 KB" up to "1023 KB", then "1 MB" and on.
std::wstring CacheSizeText(std::uint64_t bytes);

// Whether `folder` is the device root, "\Windows", the program's folder or its \Data or
// \Favorite, or a folder above one of them, by name or by where it leads.
bool IsRefusedCacheRoot(const std::wstring& folder);

CacheWalk WalkCache(const std::wstring& root);
// Deletes the walk's files, last first, then its folders down to the second: the root
// stays. Failures are noted and passed over.
void DeleteWalked(CacheCleaning& cleaning);
// A walk of `root` and its deletion, unless the root is refused.
CacheCleaning CleanCacheFolder(const std::wstring& root);
// The folder the settings window empties: the cache folder's "Content.IE5".
std::wstring ManualCleaningRoot(const std::wstring& cacheFolder);

// The program's exit: when Browser/IsCache (default 1) is 1, empties `cacheFolder` (the
// folder the main window read at its start) behind the wait dialog owned by `owner`.
// True when it cleaned.
bool CleanCacheAtExit(HWND owner, FeedbackCalls& feedback, const std::wstring& cacheFolder);
