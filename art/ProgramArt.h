#pragma once
// The program's own images (art/program), built into the program: registered as its
// module's RT_RCDATA resources 1001 ... 1014, language 2052. Call once at start, before the
// program's module is first asked for a resource.

void RegisterProgramArt();

// The numbers of the program's images.
constexpr unsigned FirstProgramImage = 1001;
constexpr unsigned LastProgramImage = 1014;
