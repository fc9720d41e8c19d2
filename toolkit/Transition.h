#pragma once
// The sliding, pushing, zooming and fading transitions a window plays when it is shown
// or hidden modally: from what the screen shows under the window to the window itself
// (showing) or to its parent (hiding), frame by frame on the screen. A hiding window
// whose parent is not a toolkit window of the same thread plays nothing: the parent
// belongs to its own thread and is not drawn from another.
//
// Kinds: 1-4 slide vertically (32 px a frame), 5-8 horizontally (24 px), 9-12 push,
// 13 zooms in, 14 shrinks out, 15 cross-fades; any other kind plays nothing.

#include <chrono>
#include <functional>

class CFtWnd;
class OffscreenBuffer;

void AnimateWindow(CFtWnd& window, int kind, bool show);

// Draws the window (and its visible child windows, each at its place) into `buffer`,
// made at the window's client size. False when it cannot be made.
bool RenderWindow(CFtWnd& window, OffscreenBuffer& buffer);

// Called after every frame is drawn on the screen, with the frame's number from 1; for
// tests and screenshots. Null: none.
// How long a frame of an animation stays on the screen: QUILLORA_TRANSITION_FRAME_MS, else
// 12 ms, so that a 23-frame slide takes under 300 ms and a person sees it move.
std::chrono::milliseconds TransitionFrameTime();
void SetTransitionFrameObserver(std::function<void(int kind, int frame)> observer);
