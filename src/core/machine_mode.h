// Which machine the CPU cores emulate. The design machine carries out the
// instructions of its design only: the others are reported when their block
// is compiled and halt the run, and the FPU is 32 words. The complete machine
// is the whole VR4300: 64-bit general registers throughout, every CPU and FPU
// instruction, the FPU register file as Status.FR selects, SYSCALL, BREAK and
// the traps as exceptions, and translated code discarded when its words change.
#pragma once

#include <cstdint>

enum class MachineMode : uint8_t { Design, Complete };

// Put in force by the emulation session before the CPU thread starts and read
// by both cores; it does not change while a run is under way.
extern MachineMode theMachineMode;

inline bool completeMachine() {
    return theMachineMode == MachineMode::Complete;
}
