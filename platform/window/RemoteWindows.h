#pragma once
// Top-level windows of other processes on the same device root, as FindWindowW and
// SetForegroundWindow reach them: how a second copy of the program finds the first one
// and brings it to the front.
//
// A process that shares its windows (ShareWindowsWithOtherProcesses) offers them once
// it shows a top-level window. A thread of its own
// waits to own the root's window socket "<root>/.windows.sock", which belongs to
// whoever holds the lock on "<root>/.windows.lock"; the kernel drops that lock when its
// holder ends, however it ends, so the next process in line removes the dead owner's
// socket file and binds its own. The owner answers one request per connection on that
// thread, a second at most for each; a raise is posted to the window's thread, which
// brings the window forward there (and the desktop window, when one is open). The
// thread is detached and never ends: at exit it is blocked in accept or flock, and it
// touches only state that is never destroyed.
//
// Requests are fields separated by NUL, the end of a request is the end of what the
// asker writes, and the answer is what the owner writes before closing:
//   find, class, name  ->  "<pid> <window>", or nothing when no top-level window matches
//   alive, pid, window ->  "1" or "0"
//   raise, pid, window ->  "1" when the raise was passed to the window's thread, else "0"
// A class or name field is "+" and the UTF-8 text, or empty for "any".
//
// A window found elsewhere gets a handle of its own from the handle space, so it never
// equals a local window or any other handle, and finding the same window again gives
// the same handle. IsWindow asks the owner whether the window still lives and
// SetForegroundWindow asks it to raise the window; every other call fails on such a
// handle as on a destroyed window. Asking waits about a second at most.

#include "platform/window/WindowTypes.h"

namespace platform {

// How a raise reaches the desktop window: set by the display that opens one.
using DesktopRaiser = void (*)();
void SetDesktopRaiser(DesktopRaiser raiser);

// From now on this process offers its windows to the others on its device root and
// looks among theirs when FindWindowW finds none of its own. Until then it does neither.
void ShareWindowsWithOtherProcesses();

// The raises other processes asked of this one that its windows carried out.
int RemoteRaises();

// Whether this process owns its root's window socket now, answering the others.
bool OffersWindows();

} // namespace platform

namespace platform::window {

// Starts offering this process's windows; later calls cost a comparison.
void OfferWindows();

HWND FindRemoteWindow(LPCWSTR className, LPCWSTR windowName);
bool IsRemoteHandle(HWND window);
// Whether the handle stands for another process's window that still lives.
bool IsRemoteWindow(HWND window);
bool RaiseRemoteWindow(HWND window);

// Carries out a raise that the owner's thread posted, on the window's thread: true
// when `message` was one.
bool TakeRemoteRaise(const MSG& message);

} // namespace platform::window
