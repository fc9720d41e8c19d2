#pragma once
// The local heap: zero-filled blocks with LMEM_ZEROINIT (LPTR), freed with LocalFree.

#include "platform/base/Win32Types.h"

using HLOCAL = void*;

constexpr UINT LMEM_FIXED = 0x0000;
constexpr UINT LMEM_ZEROINIT = 0x0040;
constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;

// Null (ERROR_NOT_ENOUGH_MEMORY) when the block cannot be had.
HLOCAL LocalAlloc(UINT flags, std::size_t bytes);
// Null on success, as on the device.
HLOCAL LocalFree(HLOCAL block);
