#pragma once
// The toolkit demo's windows of controls: one of each simple control, the on-screen
// keyboards, a long list in the middle of a fling; each written as a screenshot.

#include <filesystem>

// False when a screenshot could not be written.
bool SaveControlsScreens(const std::filesystem::path& folder);
