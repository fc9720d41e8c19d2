#pragma once
// The device's screen, in pixels.

constexpr int ScreenWidth = 480;
constexpr int ScreenHeight = 720;
