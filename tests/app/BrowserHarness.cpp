#include "BrowserHarness.h"

#include "platform/inet/WinInet.h"
#include "settings/ProgramFolder.h"
#include "toolkit/WindowFeedbackCalls.h"

BrowserHarness::BrowserHarness() : AppDriver(m_app) {
    CreateProgramFolders();
    m_app.InitInstance();
    // Shown over the main window, as the main window shows it for a listing.
    m_app.Browser().Show(true, true);
    Pump();
}

BrowserHarness::~BrowserHarness() {
    // The end may have come in the test: the next test starts afresh.
    View().EndWorkers();
    ResumeFeedback();
    platform::AllowTransfers();
}

std::string BrowserHarness::Screenshot(const std::string& name) {
    std::filesystem::path file = std::filesystem::path(QUILLORA_SCREENSHOTS) / (name + ".png");
    AppDriver::Screenshot(file);
    return file.string();
}
