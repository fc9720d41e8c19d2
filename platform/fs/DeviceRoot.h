#pragma once
// The device's file system lives in a directory of this machine, the device root.
// It is chosen once per process (SetDeviceRoot, else QUILLORA_ROOT, else
// $XDG_DATA_HOME/quillora/device, else ~/.local/share/quillora/device) and, on first
// use in a process, receives every file of the shipped device image that it lacks;
// files already there are never overwritten, so the user's settings survive.
// Device paths use "\" (or "/") and ignore case, like the device's file system.
// Thread-safe.

#include "platform/base/Win32Types.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

void SetDeviceRoot(const std::filesystem::path& root);
// Uses a directory as the device root as it is, without copying the image into it.
void MountDeviceRoot(const std::filesystem::path& root);
// The current root, populated on first use.
std::filesystem::path DeviceRoot();
// The program's data: "share/quillora" beside the folder of the running program (the
// nearest one up from it, for the build's own tree); empty when there is none.
std::filesystem::path ProgramDataFolder();
// QUILLORA_IMAGE, else "device" of the program's data.
std::filesystem::path DeviceImage();
// The part of the image the build makes (the toolkit's resource pack, the sounds):
// QUILLORA_GENERATED_IMAGE, else "device-generated" of the program's data.
std::filesystem::path GeneratedDeviceImage();

// The host path for a device path: "\" is the root, each component matches an existing
// entry regardless of case, components that do not exist are kept as written, and ".."
// never climbs above the root. Nothing for a name the device could not hold
// (`problem`: ERROR_INVALID_NAME), or for a path through a symbolic link that leads out
// of the root or nowhere (ERROR_PATH_NOT_FOUND: as if it were not there).
std::optional<std::filesystem::path> HostPathFromDevice(std::wstring_view devicePath, DWORD* problem = nullptr);

// A device path's names from the root, "." and empty ones left out and ".." taking the
// name before it away (never above the root); the names are not checked.
std::vector<std::wstring> DevicePathComponents(std::wstring_view devicePath);

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

} // namespace platform
