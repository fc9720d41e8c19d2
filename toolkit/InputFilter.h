#pragma once
// The stale-input filter. Taps the user made while a window was opening, closing or
// sliding are thrown away: arming the filter and stamping the time make every message
// loop drop mouse messages older than the stamp, until the first newer one arrives.
// Process-wide and guarded: loops run on dialog threads too.

#include "platform/window/WindowTypes.h"

namespace StaleInput {
void Arm();
void Stamp();
// Whether a loop drops this message; the first mouse message at or after the stamp
// disarms the filter.
bool Drops(const MSG& message);
} // namespace StaleInput
