#pragma once
// The images of the toolkit's resource module, by number, as the windows take them.
// Drawn in art/toolkit/, one SVG each, named by number (1010 is drawn in art/program/).

#include "platform/base/Win32Types.h"

constexpr UINT ArrowImage = 102;         // "more behind this row"
constexpr UINT MarkChosenImage = 134;    // a chosen option
constexpr UINT MarkNotChosenImage = 135; // an option not chosen
constexpr UINT FirstWaitFrame = 142;     // the wait animation's 12 frames, 142 ... 153
constexpr UINT WaitFrameCount = 12;
constexpr UINT ProgressTrackImage = 156;
constexpr UINT ProgressFillImage = 157;
constexpr UINT SwitchOnImage = 170; // a setting row's switch, 110 x 70
constexpr UINT SwitchOffImage = 171;
constexpr UINT LoupeFrameImage = 216;       // 179 x 179
constexpr UINT LoupeMaskBitmap = 218;       // a 1-bit RT_BITMAP resource, not an image
constexpr UINT SelectionOverlayImage = 260; // stretched over a selected row's band
constexpr UINT FirstScrollBarFade = 265;    // the scroll bar fading out in 4 steps, 265 ... 268
constexpr UINT ScrollBarFadeSteps = 4;
constexpr UINT FavouriteIconImage = 1010; // a favourite's row icon

// Every image above (not the mask), for sheets and checks.
inline constexpr UINT ToolkitImageIds[] = {102, 134, 135, 142, 143, 144, 145, 146, 147, 148, 149, 150, 151,
                                           152, 153, 156, 157, 170, 171, 216, 260, 265, 266, 267, 268, 1010};
