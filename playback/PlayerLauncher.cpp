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

bool PlayerLauncher(NavigationRequest& request, const std::wstring& url) {
    CoreUi& ui = request.Ui();
    ui.CloseWaitDialog();
    if (request.EnableFtVideo() == 1) {
        if (StartPlayer(BuiltInVideoPlayer, url))
            return true;
        ShowLaunchError(ui, ui.OwnerWindow(), BuiltInPlayerFailed);
        return false;
    }
    std::wstring player = ReadPlayerPath();
    if (player.empty()) {
        ShowLaunchError(ui, ui.OwnerWindow(), ExternalPlayerMissing);
        return false;
    }
    if (StartPlayer(player, url))
        return true;
    ShowLaunchError(ui, ui.OwnerWindow(), ExternalPlayerFailed);
    return false;
}

void LaunchChannel(FeedbackCalls& ui, HWND owner, int type, const std::wstring& path) {
    if (!StartPlayer(type == 1 ? BuiltInMusicPlayer : BuiltInVideoPlayer, path))
        ShowLaunchError(ui, owner, BuiltInPlayerFailed);
}
