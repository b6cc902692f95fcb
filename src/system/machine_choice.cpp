#include "system/machine_choice.h"

#include <cstring>

bool completeMachineOption = true;

MachineMode machineModeOfOption() {
    return completeMachineOption ? MachineMode::Complete : MachineMode::Design;
}

std::optional<MachineMode> parseMachineMode(const char* text) {
    if (text == nullptr) return std::nullopt;
    if (std::strcmp(text, "complete") == 0) return MachineMode::Complete;
    if (std::strcmp(text, "design") == 0) return MachineMode::Design;
    return std::nullopt;
}

const char* machineModeName(MachineMode mode) {
    return mode == MachineMode::Complete ? "complete" : "design";
}
