#pragma once
// Modules as sources of resources. The program's own module carries the resources the
// program registers at start (built into it); a resource pack loaded with
// LOAD_LIBRARY_AS_DATAFILE is a device file in this layout, little-endian:
//   "QRESPACK", a 32-bit count, then per resource five 32-bit words (type, id,
//   language, offset from the start of the file, size), then the resources' bytes.
// Resources are found by number (MAKEINTRESOURCE); the first of a type and id wins,
// whatever its language. Thread-safe; a module's bytes stay put until FreeLibrary.

#include "platform/base/Win32Types.h"

#include <string>
#include <string_view>
#include <vector>

struct HRSRC__;
using HRSRC = HRSRC__*;
using HGLOBAL = void*;

constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;
inline LPCWSTR MAKEINTRESOURCEW(std::uintptr_t id) { return reinterpret_cast<LPCWSTR>(id); }
inline LPCWSTR const RT_RCDATA = MAKEINTRESOURCEW(10);

// Only as a data file: a device path, or a bare name in \Windows.
HMODULE LoadLibraryExW(LPCWSTR fileName, HANDLE file, DWORD flags);
BOOL FreeLibrary(HMODULE module);
// Null: the program's own module.
HMODULE GetModuleHandleW(LPCWSTR moduleName);
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);

namespace platform {

struct ResourceEntry {
    DWORD type;
    DWORD id;
    DWORD language;
    std::string_view bytes;
};

// The program's own resources (the bytes must live as long as the process), registered
// at start before the program's module is first asked for.
void RegisterProgramResources(std::vector<ResourceEntry> resources);
// The bytes of a resource pack holding these resources.
std::string ResourcePackBytes(const std::vector<ResourceEntry>& resources);

} // namespace platform
