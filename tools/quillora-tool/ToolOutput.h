#pragma once
// What the subcommands that run the program's cores print, and what they prepare.

#include "fetch/ScriptedCoreUi.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

// "written: <device path>" for the output page and its numbered siblings that exist.
void PrintWrittenPages(const std::wstring& outputPath);
// "feedback: <call>" for every recorded call, in order.
void PrintFeedback(const ScriptedCoreUi& ui);

// Notes the play list's state when made; prints "written: <its path>" if it has changed since.
class PlaylistWatch {
public:
    PlaylistWatch();
    void PrintIfWritten() const;

private:
    std::optional<std::pair<DWORD, std::uint64_t>> m_before;
};
