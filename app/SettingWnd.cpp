#include "app/SettingWnd.h"

#include "app/FileDialog.h"
#include "app/NetworkWnd.h"
#include "app/SideWindow.h"
#include "convert/ProviderHosts.h"
#include "platform/base/Utf8.h"
#include "platform/com/ComPointer.h"
#include "platform/gdi/TextApi.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"
#include "toolkit/OptionMenu.h"

namespace {

// Kinds of the option menu's buttons: quiet, and the warning one.
constexpr int QuietKind = 1, WarningKind = 2;
constexpr DWORD FileChoiceMode = FileDialogFolders | FileDialogFiles;
constexpr DWORD FolderChoiceMode = FileDialogFolders;
constexpr int ThanksTop = 560, ThanksHeight = 30;

std::wstring SettingsFile() { return ProgramFolderPath(L"\\Data\\Setting.ini"); }

std::wstring NetworkText(int isWlan) { return isWlan == 1 ? L"WLAN" : L"GPRS"; }
const wchar_t* ParseServerText(int parseServer) { return parseServer == 0 ? L"服务器1" : L"服务器2"; }

// COM for one use of the file dialog: initialised before it, released after it, in the
// program's apartment.
class ComUse {
public:
    ComUse() : m_result(CoInitializeEx(nullptr, 0)) {}
    ~ComUse() {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComUse(const ComUse&) = delete;
    ComUse& operator=(const ComUse&) = delete;

private:
    HRESULT m_result;
};

// The dialog's choice interface `Choice`, or none when the component is missing.
template <class Choice> ComPointer<Choice> MakeDialog() {
    ComPointer<IDeviceFileDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_DeviceFileDialog, nullptr, CLSCTX_INPROC_SERVER, IDeviceFileDialog::Iid,
                                dialog.PutVoid())))
        return {};
    return dialog.As<Choice>();
}

} // namespace

SettingWnd::SettingWnd() = default;
SettingWnd::~SettingWnd() = default;

int SettingWnd::Run(HWND parent) { return RunSideWindow(*this, parent); }

void SettingWnd::ReadSettings() {
    m_playerPath.clear();
    m_builtInPlayer = 1;
    m_cacheOnExit = 1;
    m_showPictures = 1;
    m_autoConnect = 1;
    m_isWlan = 1;
    m_parseServer = 0;
    std::wstring file = SettingsFile();
    IniReadString(L"Player", L"Path", m_playerPath, file.c_str());
    IniReadInt(L"Player", L"EnableFtVideo", m_builtInPlayer, file.c_str());
    IniReadInt(L"Browser", L"IsCache", m_cacheOnExit, file.c_str());
    IniReadInt(L"Browser", L"IsDisplayPicture", m_showPictures, file.c_str());
    IniReadInt(L"Network", L"AutoConnect", m_autoConnect, file.c_str());
    IniReadInt(L"Network", L"IsWLAN", m_isWlan, file.c_str());
    IniReadInt(L"Network", L"FlvParseServer", m_parseServer, file.c_str());
    m_cacheFolder = ReadCacheFolder();
}

BOOL SettingWnd::OnInitDialog() {
    if (!CFtHostWnd::OnInitDialog())
        return FALSE;
    m_result = 0;
    m_found = {};
    ReadSettings();
    int width = GetWidth(), height = GetHeight();

    AddControl(m_caption, 0, 0, 0, width, CaptionHeight);
    m_caption.SetText(L"设置");

    AddControl(m_rows, 0, 0, CaptionHeight, width, height - CaptionHeight - ToolbarHeight);
    m_rows.SetScrollMode(2);

    AddRow(m_networkRow, NetworkRowId, 0, L"网络设置");
    m_networkRow.SetValue(((m_autoConnect == 1 ? L"自动连接-" : L"") + NetworkText(m_isWlan)).c_str());
    m_networkRow.SetArrow(true);

    AddRow(m_parseServerRow, ParseServerRowId, RowHeight, L"解析服务器");
    m_parseServerRow.SetValue(ParseServerText(m_parseServer));

    AddRow(m_builtInPlayerRow, 0, 2 * RowHeight, L"使用内置播放器");
    m_builtInPlayerRow.AddSwitch(BuiltInPlayerSwitchId, m_builtInPlayer == 1);

    AddRow(m_playerPathRow, PlayerPathRowId, 3 * RowHeight, L"播放器路径");
    m_playerPathRow.SetValue(m_playerPath.c_str());

    AddRow(m_cacheOnExitRow, 0, 4 * RowHeight, L"自动清理缓存");
    m_cacheOnExitRow.AddSwitch(CacheOnExitSwitchId, m_cacheOnExit == 1);

    AddRow(m_cacheFolderRow, CacheFolderRowId, 5 * RowHeight, L"缓存路径");
    m_cacheFolderRow.SetValue(m_cacheFolder.c_str());

    AddRow(m_cacheSizeRow, CacheSizeRowId, 6 * RowHeight, L"");
    m_cacheSizeRow.SetArrow(true);
    ShowCacheSize(L"清理缓存 (");

    // Added after the panel: it lies over the panel's empty part below the rows.
    AddControl(m_thanks, 0, 25, ThanksTop, width - 40, ThanksHeight);
    m_thanks.SetText(
        (L"感谢 " + platform::WideFromUtf8(HostOf(HostRole::ParseServer1)) + L" 提供视频解析服务").c_str());
    m_thanks.SetTextFormat(DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    m_thanks.SetTextSize(20);

    AddControl(m_toolbar, ToolbarId, 0, height - ToolbarHeight, width, ToolbarHeight);
    m_toolbar.SetButtonText(CancelButton, L"取消");
    m_toolbar.SetButtonText(ConfirmButton, L"确认");
    return TRUE;
}

// The switch is placed from the row's height: the row gets its place before its switch.
void SettingWnd::AddRow(UiSettingRow& row, UINT id, int offset, const wchar_t* label) {
    row.SetID(id);
    row.SetPos(0, offset, m_rows.GetWidth(), RowHeight);
    row.SetLabel(label);
    m_rows.AddChild(&row);
}

void SettingWnd::ShowCacheSize(const wchar_t* label) {
    m_cacheSizeRow.SetLabel((label + CacheSizeText(CacheSize(m_cacheFolder)) + L")").c_str());
    m_cacheSizeRow.Invalidate();
    m_cacheSizeRow.Update();
}

void SettingWnd::OnFtCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case NetworkRowId: OnNetworkRow(); break;
    case ParseServerRowId: OnParseServerRow(); break;
    // The switches have turned themselves; the working copy follows them.
    case BuiltInPlayerSwitchId: m_builtInPlayer = m_builtInPlayer == 1 ? 0 : 1; break;
    case CacheOnExitSwitchId: m_cacheOnExit = m_cacheOnExit == 1 ? 0 : 1; break;
    case PlayerPathRowId: OnPlayerPathRow(); break;
    case CacheFolderRowId: OnCacheFolderRow(); break;
    case CacheSizeRowId: OnCacheSizeRow(); break;
    case ToolbarId:
        if (lParam == CancelButton)
            End(ResultCancelled);
        else if (lParam == ConfirmButton)
            Confirm();
        break;
    default: break;
    }
}

int SettingWnd::RunNetworkWindow() {
    NetworkWnd network;
    network.SetFeedback(m_feedback);
    return network.Run(m_hWnd);
}

void SettingWnd::OnNetworkRow() {
    if (RunNetworkWindow() != 1)
        return;
    // The network window has stored its choice; auto connect is not asked again.
    IniReadInt(L"Network", L"IsWLAN", m_isWlan, SettingsFile().c_str());
    m_networkRow.SetValue(NetworkText(m_isWlan).c_str());
    m_networkRow.Update();
}

void SettingWnd::OnParseServerRow() {
    m_parseServer = m_parseServer == 0 ? 1 : 0;
    m_parseServerRow.SetValue(ParseServerText(m_parseServer));
    m_parseServerRow.Update();
}

bool SettingWnd::ChooseFile(std::wstring& path) {
    bool chosen = false;
    {
        ComUse com;
        if (ComPointer<IFileChoiceDialog> dialog = MakeDialog<IFileChoiceDialog>()) {
            dialog->SetOwner(m_hWnd);
            dialog->SetInitialFolder(L"\\");
            dialog->SetFilter(L"*.exe");
            dialog->SetMode(FileChoiceMode);
            int result = 0;
            wchar_t file[MAX_PATH] = {};
            if (SUCCEEDED(dialog->Show(&result)) && result == FileDialogChosen &&
                SUCCEEDED(dialog->GetFileName(file, MAX_PATH))) {
                path = file;
                chosen = true;
            }
        }
    }
    Repaint();
    return chosen;
}

bool SettingWnd::ChooseFolder(std::wstring& folder) {
    bool chosen = false;
    {
        ComUse com;
        if (ComPointer<IFolderChoiceDialog> dialog = MakeDialog<IFolderChoiceDialog>()) {
            dialog->SetOwner(m_hWnd);
            dialog->SetMode(FolderChoiceMode);
            dialog->SetInitialFolder(m_cacheFolder.c_str());
            int result = 0;
            wchar_t chosenFolder[MAX_PATH] = {};
            if (SUCCEEDED(dialog->Show(&result)) && result == FileDialogChosen &&
                SUCCEEDED(dialog->GetFolder(chosenFolder, MAX_PATH))) {
                folder = chosenFolder;
                chosen = true;
            }
        }
    }
    Repaint();
    return chosen;
}

void SettingWnd::Repaint() {
    Invalidate(nullptr, false);
    Update();
}

void SettingWnd::OnPlayerPathRow() {
    std::wstring path;
    if (!ChooseFile(path))
        return;
    m_playerPath = path;
    m_playerPathRow.SetValue(path.c_str());
    m_playerPathRow.Update();
}

void SettingWnd::OnCacheFolderRow() {
    std::wstring folder;
    if (!ChooseFolder(folder))
        return;
    // The cleanings delete everything below the cache folder: the device's system, the
    // program or its data there would go with the cache.
    if (IsRefusedCacheRoot(folder)) {
        m_feedback->MessageBox(m_hWnd, L"系统和程序的文件夹不能用作缓存路径，请选择其他文件夹！", L"提示",
                               MessageBoxOk);
        return;
    }
    if (!WriteCacheFolder(folder))
        return;
    m_cacheFolder = folder;
    m_cacheFolderRow.SetValue(m_cacheFolder.c_str());
    m_cacheFolderRow.Update();
    ShowCacheSize(L"清理缓存 (");
}

UINT SettingWnd::ChooseCacheCommand() {
    OptionMenu menu;
    menu.AddItem(L"取消", CancelCommand, QuietKind);
    menu.AddItem(L"清除缓存", ClearCacheCommand, WarningKind);
    RECT work = GetWorkArea();
    return static_cast<UINT>(menu.Run(m_hWnd, RECT{work.left, work.bottom - MenuHeight, work.right, work.bottom}));
}

void SettingWnd::OnCacheSizeRow() {
    if (ChooseCacheCommand() == ClearCacheCommand)
        CleanCache();
}

void SettingWnd::CleanCache() {
    m_feedback->ShowWaitDialog(m_hWnd, nullptr, 1);
    m_found = CleanCacheFolder(ManualCleaningRoot(m_cacheFolder)).walk;
    ShowCacheSize(L"清除缓存 (");
    m_feedback->CloseWaitDialog();
}

void SettingWnd::Confirm() {
    // Auto connect and the network are the network window's to store.
    std::wstring file = SettingsFile();
    IniWriteString(L"Player", L"Path", m_playerPathRow.GetValue(), file.c_str());
    IniWriteInt(L"Player", L"EnableFtVideo", m_builtInPlayer, file.c_str());
    IniWriteInt(L"Browser", L"IsDisplayPicture", m_showPictures, file.c_str());
    IniWriteInt(L"Browser", L"IsCache", m_cacheOnExit, file.c_str());
    IniWriteInt(L"Network", L"FlvParseServer", m_parseServer, file.c_str());
    End(ResultConfirmed);
}

void SettingWnd::End(int result) {
    m_result = result;
    EndModal(result);
}
