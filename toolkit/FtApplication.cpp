#include "toolkit/FtApplication.h"

#include "platform/com/Com.h"
#include "platform/window/WindowApi.h"
#include "toolkit/FtWnd.h"
#include "toolkit/Image.h"
#include "toolkit/InputFilter.h"
#include "toolkit/Theme.h"
#include "toolkit/WindowFeedbackCalls.h"

#include <atomic>

namespace {
std::atomic<CFtApplication*> g_application{nullptr};
std::atomic<HINSTANCE> g_instance{nullptr};
} // namespace

CFtApplication::CFtApplication() {
    g_application = this;
    m_comInitialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
}

CFtApplication::~CFtApplication() {
    CFtApplication* self = this;
    g_application.compare_exchange_strong(self, nullptr);
    if (m_comInitialised)
        CoUninitialize();
}

CFtApplication* CFtApplication::Instance() { return g_application; }

int CFtApplication::Run() {
    MSG& record = ToolkitMessageRecord();
    for (;;) {
        BOOL got = GetMessageW(&record, nullptr, 0, 0);
        if (got < 0)
            break; // the thread's queue is gone
        if (got == 0) {
            if (!ToolkitQuitting())
                m_exitCode = static_cast<int>(record.wParam);
            SetToolkitQuitting(true);
        }
        if (m_keepRunning)
            SetToolkitQuitting(false);
        if (PreTranslateMessage(&record))
            continue;
        if (ToolkitQuitting())
            break;
        if (!StaleInput::Drops(record)) {
            TranslateMessage(&record);
            DispatchMessageW(&record);
        }
        if (ToolkitQuitting())
            break;
    }
    return m_exitCode;
}

int CFtApplication::ExitInstance() {
    // The busy indicators draw with the images and fonts let go below: they go first.
    CloseBusyIndicators();
    ReleaseImages();
    ReleaseThemeResources();
    ReleaseWindowRegistry();
    return 1;
}

int ToolkitMain(HINSTANCE instance) {
    GetDebugZones();
    g_instance = instance;
    CFtApplication* application = CFtApplication::Instance();
    if (!application)
        return -1;
    RegisterWindowMessageW(L"ShellNotifyMsg/ClickMKey");
    int result = application->InitInstance() ? application->Run() : -1;
    application->ExitInstance();
    return result;
}
