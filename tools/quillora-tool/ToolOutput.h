#pragma once
// What the subcommands that run the program's cores print, and what they prepare.

#include "fetch/ScriptedCoreUi.h"

#include <string>

// "written: <device path>" for the output page and its numbered siblings that exist.
void PrintWrittenPages(const std::wstring& outputPath);
// "feedback: <call>" for every recorded call, in order.
void PrintFeedback(const ScriptedCoreUi& ui);
