#include "app/MainApp.h"

#include "app/FileDialog.h"
#include "platform/base/LastError.h"
#include "platform/com/Com.h"
#include "platform/device/Mutex.h"
#include "platform/fs/FileApi.h"
#include "platform/fs/FindFile.h"
#include "settings/ProgramFolder.h"
#include "toolkit/Theme.h"
#include "toolkit/Transition.h"

MainApp::MainApp() { m_browserWnd.SetFingerScroll(&m_fingerScroll); }

MainApp::~MainApp() {
    // No worker may write a page after the folder is emptied.
    m_browserWnd.EndWorkers();
    if (!m_keepTemporaryFiles)
        EmptyTemporaryFolder();
    CoUninitialize();
    m_browserWnd.SetFingerScroll(nullptr); // it goes before the browser view
}

MainApp::InstanceName::~InstanceName() {
    if (m_mutex)
        CloseHandle(m_mutex);
}

bool MainApp::InstanceName::Take(const wchar_t* name) {
    m_mutex = CreateMutexW(nullptr, TRUE, name);
    DWORD error = GetLastError();
    // The handle stays open, so the name stays taken; ownership is not what counts.
    if (m_mutex)
        ReleaseMutex(m_mutex);
    return error != ERROR_ALREADY_EXISTS;
}

MainApp* MainApp::Instance() { return dynamic_cast<MainApp*>(CFtApplication::Instance()); }

BOOL MainApp::InitInstance() {
    if (!m_instanceName.Take(MutexName)) {
        if (HWND running = FindWindowW(L"MainWnd", nullptr))
            SetForegroundWindow(running);
        // The pages in \Temp are the running copy's.
        KeepTemporaryFiles();
        return FALSE;
    }
    CoInitializeEx(nullptr, 0);
    RegisterFileDialogClass();
    if (m_startHook && !m_startHook())
        return FALSE;
    RECT work = CFtWnd::GetWorkArea();
    int width = work.right - work.left, height = work.bottom - work.top;
    // Whether the windows came up is not asked: the program runs on without one.
    m_mainWnd.SetBrowser(&m_browserWnd);
    m_mainWnd.Create(work.left, work.top, width, height, nullptr, nullptr, 0, 0);
    m_mainWnd.SetBackgroundColour(GetThemeColour(0));
    m_mainWnd.SetText(L"Quillora");
    AnimateWindow(m_mainWnd, 13, true);
    m_mainWnd.Show(true, true);
    m_browserWnd.Create(0, 0, width, height, m_mainWnd.GetHwnd(), nullptr, 0, 0);
    m_browserWnd.SetBackgroundColour(0x00FFFFFF);
    m_browserWnd.Show(false, true);
    m_started = true;
    return TRUE;
}

int MainApp::ExitInstance() {
    m_browserWnd.EndWorkers();
    // The main window's end needs the window and the toolkit's dialogs: by the time the
    // window itself goes, the toolkit has let go of both.
    if (m_started)
        m_mainWnd.End();
    return CFtApplication::ExitInstance();
}

BOOL MainApp::PreTranslateMessage(MSG* message) {
    if (message)
        m_fingerScroll.See(*message);
    return FALSE;
}

void MainApp::EmptyTemporaryFolder() {
    std::wstring folder = ProgramFolderPath(L"\\Temp");
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            m_temporaryFiles.push_back(folder + L"\\" + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (auto file = m_temporaryFiles.rbegin(); file != m_temporaryFiles.rend(); ++file)
        DeleteFileW(file->c_str());
}
