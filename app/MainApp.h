#pragma once
// The program's one application object: the browser view, the state of its finger
// scrolling, and the list of temporary files gathered at the end. The toolkit's entry
// runs InitInstance, the loop and ExitInstance; the object's end empties \Temp.
//
// Worker threads reach the browser view (and its window) through this object.

#include "app/BrowserWnd.h"
#include "app/FingerScroll.h"
#include "toolkit/FtApplication.h"

#include <string>
#include <vector>

class MainApp : public CFtApplication {
public:
    MainApp();
    ~MainApp() override;

    BOOL InitInstance() override;
    // The workers end before the toolkit lets go of what their windows draw with.
    int ExitInstance() override;
    // The finger scrolling of the browser view sees every message; none is consumed.
    BOOL PreTranslateMessage(MSG* message) override;

    BrowserWnd& Browser() { return m_browserWnd; }
    FingerScroll& Scrolling() { return m_fingerScroll; }

    static MainApp* Instance();

    // Deletes every file in the program's \Temp folder, the last found first; what
    // cannot be deleted stays. Sub-folders stay.
    void EmptyTemporaryFolder();
    // The end leaves \Temp as it is: for a look at pages made before the program ran.
    void KeepTemporaryFiles() { m_keepTemporaryFiles = true; }

private:
    BrowserWnd m_browserWnd;
    std::vector<std::wstring> m_temporaryFiles;
    // The finger-down flag, speed, momentum timer, tracker and dragging flag.
    FingerScroll m_fingerScroll{m_browserWnd};
    bool m_keepTemporaryFiles = false;
};
