#pragma once
// The toolkit demo's dialogs: every message-box type in Chinese and in English, a notice,
// the option menu in both layouts, the wait animation and the progress dialog, each
// written as a screenshot over a sample window.

#include <filesystem>

// False when a screenshot could not be written or a dialog did not come up.
bool SaveDialogScreens(const std::filesystem::path& folder);
