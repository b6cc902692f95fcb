// Where the complete machine keeps each FPU register, as Status.FR selects.
// FR = 1: 32 registers of 64 bits (even ones in fpr, odd ones in fprOdd).
// FR = 0: 32 words in fpr, a double taking an even/odd pair; a double named
// by an odd number uses the pair of the even register below it, so no
// access ever leaves the register file.
//
// The recompiler asks these at compile time (a change of FR discards the
// translated code), the interpreter each time an instruction runs.
#pragma once

#include <cstdint>

#include "core/cpu_state.h"

constexpr uint32_t STATUS_FR = 0x04000000;

inline bool fullFpuRegisters() {
    return (theCpu.cop0[COP0_STATUS] & STATUS_FR) != 0;
}

// The word of register n that a single or a word occupies.
inline uint32_t* fpuWordSlot(unsigned n) {
    n &= 31;
    if ((n & 1) && fullFpuRegisters()) return &theCpu.fprOdd[n - 1];
    return &theCpu.fpr[n];
}

// The two words (low first) of register n that a double or a long occupies.
inline uint32_t* fpuDoublewordSlot(unsigned n) {
    n &= 31;
    if ((n & 1) == 0) return &theCpu.fpr[n];
    if (fullFpuRegisters()) return &theCpu.fprOdd[n - 1];
    return &theCpu.fpr[n - 1];
}
