#pragma once

#include <string>
#include <string_view>

// The folder of the running program file followed by `relative`, which begins with a
// backslash ("\Data\Setting.ini"); every data file of the program is found this way.
std::wstring ProgramFolderPath(std::wstring_view relative = {});

// Creates the program's \Temp and \Favorite folders where they are missing.
void CreateProgramFolders();
