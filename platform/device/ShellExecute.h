#pragma once
// The shell's execute call, as far as the device's programs go: the verb "Open" (or
// none) on a program file starts it as CreateProcessW does (Process.h), with the
// parameters as its command line; a bare file name is a program in \Windows. Other
// verbs and documents have no handler here (ERROR_NO_ASSOCIATION). hInstApp tells the
// outcome the old way: above 32 on success, else an SE_ERR_ value. With
// SEE_MASK_NOCLOSEPROCESS the caller gets the process handle and closes it; the window
// and show command change nothing, as the programs here have no windows of ours.
// Callable from any thread.

#include "platform/base/Win32Types.h"

struct HKEY__;
using HKEY = HKEY__*;

struct SHELLEXECUTEINFO {
    DWORD cbSize;
    ULONG fMask;
    HWND hwnd;
    LPCWSTR lpVerb;
    LPCWSTR lpFile;
    LPCWSTR lpParameters;
    LPCWSTR lpDirectory;
    int nShow;
    HINSTANCE hInstApp;
    LPVOID lpIDList;
    LPCWSTR lpClass;
    HKEY hkeyClass;
    DWORD dwHotKey;
    HANDLE hIcon;
    HANDLE hProcess;
};

constexpr ULONG SEE_MASK_NOCLOSEPROCESS = 0x00000040;
constexpr ULONG SEE_MASK_FLAG_NO_UI = 0x00000400;

constexpr DWORD ERROR_NO_ASSOCIATION = 1155;
constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_PNF = 3;
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_NOASSOC = 31;

BOOL ShellExecuteEx(SHELLEXECUTEINFO* info);
