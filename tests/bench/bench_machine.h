// The CPU benchmarks' options: --machine complete|design, the machine the
// kernels run on (default design), and, where `blocks` is given, --blocks N
// (a fixed amount of work, so that an instruction-counting profiler compares
// two builds exactly). Prints the machine, or the usage when the arguments
// are anything else (then false).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/machine_mode.h"
#include "system/machine_choice.h"

inline bool chooseBenchMachine(int argc, char** argv, uint64_t* blocks = nullptr) {
    for (int i = 1; i < argc; i += 2) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (option == "--machine" && value && parseMachineMode(value)) {
            theMachineMode = *parseMachineMode(value);
        } else if (blocks && option == "--blocks" && value && std::strtoull(value, nullptr, 10)) {
            *blocks = std::strtoull(value, nullptr, 10);
        } else {
            std::fprintf(stderr, "usage: %s [--machine complete|design]%s\n", argv[0],
                         blocks ? " [--blocks N]" : "");
            return false;
        }
    }
    std::printf("machine: %s\n", machineModeName(theMachineMode));
    return true;
}
