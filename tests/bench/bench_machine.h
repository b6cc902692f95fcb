// The CPU benchmarks' one option, --machine complete|design: the machine the
// kernels run on (default design). Prints the machine, or the usage when the
// arguments are anything else (then false).
#pragma once

#include <cstdio>
#include <string>

#include "core/machine_mode.h"
#include "system/machine_choice.h"

inline bool chooseBenchMachine(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--machine" && parseMachineMode(argv[2])) {
        theMachineMode = *parseMachineMode(argv[2]);
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [--machine complete|design]\n", argv[0]);
        return false;
    }
    std::printf("machine: %s\n", machineModeName(theMachineMode));
    return true;
}
