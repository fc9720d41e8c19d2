#pragma once
// Handing addresses to a player. The program plays nothing itself: every stream,
// play list or channel goes to a separate player process with one argument, the
// device's built-in player or the external one named in the settings.

#include "fetch/NavigationRequest.h"
#include "platform/device/Process.h"

#include <string>

constexpr const wchar_t* BuiltInVideoPlayer = L"\\Windows\\FtVideo.exe";
constexpr const wchar_t* BuiltInMusicPlayer = L"\\Windows\\FtMusic.exe";

// Starts the program with the command line as its one argument; true when it started.
bool StartPlayer(const std::wstring& program, const std::wstring& commandLine,
                 PROCESS_INFORMATION* information = nullptr);

// The external player's path, read from the settings file now; empty when absent.
std::wstring ReadPlayerPath();

// Only EnableFtVideo 1 selects the built-in player; any other value the external one.
inline bool UsesBuiltInPlayer(const NavigationRequest& request) { return request.EnableFtVideo() == 1; }

// Starts the external player named in the settings with the command line; false after
// telling the user that none is named or that it did not start.
bool StartExternalPlayer(FeedbackCalls& ui, HWND owner, const std::wstring& commandLine);

// Plays one address with the player the request's settings select; false after telling
// the user why not.
bool PlayerLauncher(NavigationRequest& request, const std::wstring& url);

// A channel's type as the channel list stores it.
enum class ChannelType { Video = 0, Music = 1 };
void LaunchChannel(FeedbackCalls& ui, HWND owner, ChannelType type, const std::wstring& path);

// The messages of a failed launch, with their caption.
void ShowLaunchError(FeedbackCalls& ui, HWND owner, const wchar_t* text);
constexpr const wchar_t* BuiltInPlayerFailed = L"内置播放器启动失败！";
constexpr const wchar_t* ExternalPlayerFailed = L"第三方播放器启动失败！";
constexpr const wchar_t* ExternalPlayerMissing = L"未找到第三方播放器，请先配置播放器路径！";
