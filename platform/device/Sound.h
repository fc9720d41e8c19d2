#pragma once
// Playing the device's sound files. A sound is handed to this machine's sound player
// (paplay or aplay) when one is installed, in a process of its own, so the caller never
// waits; QUILLORA_NO_SOUND=1 keeps it from starting one. Every sound asked for is noted,
// so that tests can see what would have been heard. Thread-safe.

#include "platform/base/Win32Types.h"

#include <string>
#include <vector>

constexpr DWORD SND_SYNC = 0x0000;
constexpr DWORD SND_ASYNC = 0x0001;
constexpr DWORD SND_FILENAME = 0x00020000;

// Plays the device file `sound`; false when it does not exist or is not given.
BOOL PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags);

namespace platform {
// The device paths of the latest sounds played in this process (up to 256), oldest first.
std::vector<std::wstring> PlayedSounds();
} // namespace platform
