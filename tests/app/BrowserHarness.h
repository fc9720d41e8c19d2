#pragma once
// The program's application object, started on the headless display, with the driver
// that pumps its messages and puts a finger on the screen; screenshots go to the build
// folder for people to look at.

#include "app/AppDriver.h"
#include "app/MainApp.h"

#include <string>

class BrowserHarness : public AppDriver {
public:
    BrowserHarness();
    ~BrowserHarness();

    BrowserWnd& View() { return m_app.Browser(); }
    MainApp& App() { return m_app; }
    // The screen, as a PNG in the build folder's screenshots; its path.
    std::string Screenshot(const std::string& name);

private:
    MainApp m_app; // the driver holds on to it: it is used only once made
};
