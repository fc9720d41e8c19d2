#pragma once
// The images of the toolkit's resource module, by number, as the windows take them.
// Drawn in art/toolkit/, one SVG each, named by number.

#include "platform/base/Win32Types.h"

constexpr UINT ArrowImage = 102;         // "more behind this row"
constexpr UINT MarkChosenImage = 134;    // a chosen option
constexpr UINT MarkNotChosenImage = 135; // an option not chosen
constexpr UINT FirstWaitFrame = 142;     // the wait animation's 12 frames, 142 ... 153
constexpr UINT WaitFrameCount = 12;

// Every number above, for sheets and checks.
inline constexpr UINT ToolkitImageIds[] = {102, 134, 135, 142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 152, 153};
