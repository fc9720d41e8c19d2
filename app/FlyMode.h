#pragma once
// The phone's fly mode (every radio off), as the device keeps it: the 32-bit value
// "FlyModeFlag" of HKEY_CURRENT_USER "ControlPanel\Setting\FlyMode", non-zero for on.
// The shell learns of a change from one message on its queue "DialToShellInfor".
// Called on the user-interface thread.

#include <cstddef>
#include <cstdint>

constexpr const wchar_t* FlyModeQueueName = L"DialToShellInfor";
// A message on the shell's queue: all zero but the kind at byte 0 and the new state
// (1 on, 0 off) at byte 444, both 32-bit words.
constexpr std::size_t FlyModeMessageSize = 464;
constexpr std::size_t FlyModeStateOffset = 444;
constexpr std::uint32_t FlyModeMessageKind = 13;

// A flag that cannot be read is written off (SetFlyMode) and read as off.
bool IsFlyMode();
// Stores the flag and tells the shell; false only when the shell's queue cannot be
// opened. A store that fails, or a shell that does not take the message, goes unnoticed.
bool SetFlyMode(bool on);
