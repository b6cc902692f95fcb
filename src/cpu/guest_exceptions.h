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

extern "C" {
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
