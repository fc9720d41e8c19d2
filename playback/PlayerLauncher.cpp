#include "playback/PlayerLauncher.h"

#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"

bool StartPlayer(const std::wstring& program, const std::wstring& commandLine, PROCESS_INFORMATION* information) {
    std::wstring argument = commandLine;
    return CreateProcessW(program.c_str(), argument.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                          information) != FALSE;
}

std::wstring ReadPlayerPath() {
    std::wstring path;
    IniReadString(L"Player", L"Path", path, ProgramFolderPath(L"\\Data\\Setting.ini").c_str());
    return path;
}

void ShowLaunchError(FeedbackCalls& ui, HWND owner, const wchar_t* text) {
    ui.MessageBox(owner, text, L"错误", MessageBoxOk);
}

bool StartExternalPlayer(FeedbackCalls& ui, HWND owner, const std::wstring& commandLine) {
    std::wstring player = ReadPlayerPath();
    if (player.empty()) {
        ShowLaunchError(ui, owner, ExternalPlayerMissing);
        return false;
    }
    if (StartPlayer(player, commandLine))
        return true;
    ShowLaunchError(ui, owner, ExternalPlayerFailed);
    return false;
}

bool PlayerLauncher(NavigationRequest& request, const std::wstring& url) {
    CoreUi& ui = request.Ui();
    ui.CloseWaitDialog();
    if (!UsesBuiltInPlayer(request))
        return StartExternalPlayer(ui, ui.OwnerWindow(), url);
    if (StartPlayer(BuiltInVideoPlayer, url))
        return true;
    ShowLaunchError(ui, ui.OwnerWindow(), BuiltInPlayerFailed);
    return false;
}

void LaunchChannel(FeedbackCalls& ui, HWND owner, ChannelType type, const std::wstring& path) {
    if (!StartPlayer(type == ChannelType::Music ? BuiltInMusicPlayer : BuiltInVideoPlayer, path))
        ShowLaunchError(ui, owner, BuiltInPlayerFailed);
}
