#pragma once
// The process's one application object and the toolkit's program entry: the program
// derives its application from CFtApplication (its start-up is InitInstance), makes
// one, and ToolkitMain runs it. The object lives on the user-interface thread.

#include "platform/window/WindowTypes.h"

class CFtApplication {
public:
    CFtApplication();
    virtual ~CFtApplication();
    CFtApplication(const CFtApplication&) = delete;
    CFtApplication& operator=(const CFtApplication&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    // The message loop of the user-interface thread; the quit message's exit code.
    virtual int Run();
    // Releases the toolkit's process-wide resources (images, imaging factory, resource
    // module, fonts) and the window registry.
    virtual int ExitInstance();
    // Sees every message of the main loop first; non-zero: consumed.
    virtual BOOL PreTranslateMessage(MSG*) { return FALSE; }

    // While set, a quit message does not end the loop.
    void SetKeepRunning(bool keep) { m_keepRunning = keep; }
    static CFtApplication* Instance();

private:
    bool m_keepRunning = false;
    bool m_comInitialised = false;
    int m_exitCode = 0;
};

// The toolkit's program entry: reads the debug zones, runs the application's
// InitInstance and Run (or fails with -1), then ExitInstance; the process exit code.
int ToolkitMain(HINSTANCE instance);
