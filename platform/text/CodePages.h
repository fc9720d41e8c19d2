#pragma once
// Code-page conversion as the device does it: CP_UTF8, and the ANSI/OEM code page,
// which on this device is GBK (936). Both calls follow Win32's contracts: a length of
// -1 means null-terminated input whose terminator is converted and counted, an output
// size of 0 asks for the size needed, a too-small output fails with
// ERROR_INSUFFICIENT_BUFFER, and characters the target cannot hold become the default
// character ('?' unless the caller gives one, U+FFFD for UTF-8) unless an
// ERR_INVALID_CHARS flag asks for failure with ERROR_NO_UNICODE_TRANSLATION.

#include "platform/base/Win32Types.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_GBK = 936;
constexpr UINT CP_UTF8 = 65001;

constexpr DWORD MB_PRECOMPOSED = 0x00000001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x00000080;
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x00000400;
constexpr DWORD ERROR_INVALID_FLAGS = 1004;

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteLength, LPWSTR wide, int wideLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR multiByte, int multiByteLength,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar);
