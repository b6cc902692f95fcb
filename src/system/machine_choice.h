// The user's choice of machine: the "Complete machine" option and the names
// the command lines take for it.
#pragma once

#include <optional>

#include "core/machine_mode.h"

// The option "Complete machine" as the Options menu shows it; read from and
// written to the registry with the other options (on when absent). The
// front ends put it in the settings of each run they start.
extern bool completeMachineOption;

// The machine the option selects.
MachineMode machineModeOfOption();

// "complete" or "design" (as the command lines take them after --machine);
// nothing for any other text, null included.
std::optional<MachineMode> parseMachineMode(const char* text);
// The command-line name of a machine mode.
const char* machineModeName(MachineMode mode);
