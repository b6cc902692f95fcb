// The command line of the window program: `orvex [options] [ROM]`.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/machine_mode.h"

struct ProgramOptions {
    // A ROM image opened at once, as a double click on its tree entry would;
    // "" for none.
    std::string romPath;
    // The output window starts in full screen.
    bool fullScreen = false;
    // The machine of this program's runs; none keeps the user's setting.
    std::optional<MachineMode> machineMode;
};

enum class ProgramCommand { Run, Help, Version, Invalid };

// Reads the arguments after the program name. On Invalid, `error` says why.
ProgramCommand parseProgramOptions(const std::vector<std::string>& args, ProgramOptions& options,
                                   std::string& error);
void printProgramUsage(FILE* out);
