#pragma once
// The program's one application object: the main window, the browser view (hidden
// over it until a listing is opened), the state of the browser's finger scrolling, and
// the list of temporary files gathered at the end. The toolkit's entry runs
// InitInstance, the loop and ExitInstance; the object's end empties \Temp. Only one
// copy of the program runs on a device: a second brings the first forward and ends.
//
// Worker threads reach the browser view (and its window) through this object.

#include "app/BrowserWnd.h"
#include "app/FingerScroll.h"
#include "app/MainWnd.h"
#include "toolkit/FtApplication.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

class MainApp : public CFtApplication {
public:
    MainApp();
    ~MainApp() override;

    static constexpr const wchar_t* MutexName = L"QuilloraMutex";

    // 0 when another copy runs (it is brought forward instead).
    BOOL InitInstance() override;
    // The workers end before the toolkit lets go of what their windows draw with.
    int ExitInstance() override;
    // The finger scrolling of the browser view sees every message; none is consumed.
    BOOL PreTranslateMessage(MSG* message) override;

    MainWnd& Main() { return m_mainWnd; }
    BrowserWnd& Browser() { return m_browserWnd; }
    // InitInstance has made the windows (any thread may ask).
    bool Started() const { return m_started.load(); }
    FingerScroll& Scrolling() { return m_fingerScroll; }

    static MainApp* Instance();

    // Deletes every file in the program's \Temp folder, the last found first; what
    // cannot be deleted stays. Sub-folders stay.
    void EmptyTemporaryFolder();
    // The end leaves \Temp as it is: for a look at pages made before the program ran.
    void KeepTemporaryFiles() { m_keepTemporaryFiles = true; }
    // What the program starts once it knows it is the only copy, before its windows
    // (the desktop window, the demo site); false ends the start.
    void SetStartHook(std::function<bool()> hook) { m_startHook = std::move(hook); }

private:
    // The instance's name, held from the first thing InitInstance does to after the
    // windows are gone (declared first: it goes last).
    class InstanceName {
    public:
        InstanceName() = default;
        ~InstanceName();
        InstanceName(const InstanceName&) = delete;
        InstanceName& operator=(const InstanceName&) = delete;
        // False when another process holds the name.
        bool Take(const wchar_t* name);

    private:
        HANDLE m_mutex = nullptr;
    };

    InstanceName m_instanceName;
    MainWnd m_mainWnd;
    BrowserWnd m_browserWnd;
    std::vector<std::wstring> m_temporaryFiles;
    // The finger-down flag, speed, momentum timer, tracker and dragging flag.
    FingerScroll m_fingerScroll{m_browserWnd};
    bool m_keepTemporaryFiles = false;
    std::atomic<bool> m_started{false};
    std::function<bool()> m_startHook;
};
