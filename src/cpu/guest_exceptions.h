// Exceptions that guest instructions raise on the complete machine: SYSCALL,
// BREAK, the traps and the overflow of the trapping additions and
// subtractions. Both cores call these routines (translated code through a
// near call, System V convention); each returns nonzero when it has entered
// the exception handler, and the caller then leaves its block at once, so
// the rest of the block does not run and the instruction writes no result.
// The handler's block runs next, as after an interrupt taken between blocks.
#pragma once

#include <cstdint>

// Exception codes of Cause.
constexpr uint32_t EXCEPTION_ADDRESS_LOAD = 4; // a load or an instruction fetch
constexpr uint32_t EXCEPTION_ADDRESS_STORE = 5;
constexpr uint32_t EXCEPTION_SYSCALL = 8;
constexpr uint32_t EXCEPTION_BREAKPOINT = 9;
constexpr uint32_t EXCEPTION_RESERVED_INSTRUCTION = 10;
constexpr uint32_t EXCEPTION_OVERFLOW = 12;
constexpr uint32_t EXCEPTION_TRAP = 13;

// Where an instruction lies: its address, with bit 0 set when it is the
// delay slot of a branch (instruction addresses are word-aligned).
inline uint32_t exceptionSite(uint32_t pc, bool inDelaySlot) {
    return pc | (inDelaySlot ? 1u : 0u);
}

// The alignment a load or store needs, as a mask of the address bits that
// must be 0 (its size less one): halfwords 1 (LH, LHU, SH), words 3 (LW,
// LWU, SW, LL, SC, LWC1, SWC1), doublewords 7 (LD, SD, LLD, SCD, LDC1, SDC1).
// The byte forms, the unaligned forms (LWL, SDR, ...) and every other
// instruction need none (0). By primary opcode.
inline constexpr uint8_t ACCESS_ALIGNMENT_MASKS[64] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 0x00
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 0x10
    0, 1, 0, 3, 0, 1, 0, 3, 0, 1, 0, 3, 0, 0, 0, 0, // 0x20: LH LW LHU LWU SH SW
    3, 3, 0, 0, 7, 7, 0, 7, 3, 3, 0, 0, 7, 7, 0, 7, // 0x30: LL LWC1 LLD LDC1 LD SC SWC1 SCD SDC1 SD
};
inline uint32_t accessAlignmentMask(uint32_t word) {
    return ACCESS_ALIGNMENT_MASKS[word >> 26];
}

// Whether a load or store instruction writes memory.
inline bool isStoreAccess(uint32_t word) {
    const uint32_t op = word >> 26;
    return (op >= 0x28 && op <= 0x2E) || op == 0x38 || op == 0x39 || op == 0x3C || op == 0x3D ||
           op == 0x3F;
}

extern "C" {
// The address error of a load or store (`store` nonzero) at `site` whose
// address is not aligned to its size: BadVAddr takes the address, then the
// exception is entered as enterGuestException does.
void enterAddressError(uint32_t address, uint32_t site, uint32_t store);
// The address error of an instruction fetch from an address that is not a
// multiple of 4: BadVAddr and EPC take the address itself.
void enterFetchAddressError(uint32_t pc);

// Enters the general exception vector for the instruction at `site`: the
// code into Cause; unless an exception is already in progress (EXL), EPC
// takes the instruction's address (the branch's in a delay slot) and Cause
// BD tells which; Status gets EXL and pc the vector. With Status BEV set the
// emulation halts, as for an interrupt.
void enterGuestException(uint32_t code, uint32_t site);
// TEQ, TNE, TGE, TGEU, TLT, TLTU and their immediate forms, given the whole
// instruction word: compares the 64-bit operands and traps when the
// condition holds. Returns nonzero when the trap was taken.
uint32_t trapWhen(uint32_t word, uint32_t site);
// DADD, DSUB and DADDI, given the whole instruction word: the 64-bit sum or
// difference into the destination, or the overflow exception (destination
// unchanged). Returns nonzero when the exception was taken.
uint32_t doublewordChecked(uint32_t word, uint32_t site);
}
