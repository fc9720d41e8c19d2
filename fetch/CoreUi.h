#pragma once
// What the program's cores (fetch, conversion, playback) may ask of the user interface,
// from their worker threads: the feedback calls, the window that owns their messages,
// the play-list message and browser navigation. The browser view implements it; tests
// and quillora-tool use ScriptedCoreUi. Implementations are safe to call from any thread.

#include "toolkit/FeedbackCalls.h"

#include <string>

// Posted to the browser view when a new play list waits in \Data\video.m3u.
constexpr UINT WM_SHOW_PLAYLIST = 3024;

class CoreUi : public FeedbackCalls {
public:
    virtual HWND OwnerWindow() = 0;
    virtual void PostShowPlaylist() = 0;
    virtual void Navigate(const std::wstring& address) = 0;
};
