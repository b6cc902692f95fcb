// Native routines called from translated code (System V calling convention,
// plain 32-bit arguments) and by the reference interpreter, so that both CPU
// cores share one definition of these operations.
#pragma once

#include <cstdint>

extern "C" {
// LWL, LWR: merge the guest word at V & ~3 into gpr[rt].
void loadWordLeft(uint32_t rt, uint32_t vaddr);
void loadWordRight(uint32_t rt, uint32_t vaddr);
// SWL, SWR: merge gpr[rt].lo into the guest word at V & ~3; the word is written
// only when it changes.
void storeWordLeft(uint32_t rt, uint32_t vaddr);
void storeWordRight(uint32_t rt, uint32_t vaddr);
// DMULTU, DDIVU: operands as 64-bit values passed low word first.
void multiplyDoublewordUnsigned(uint32_t rsLo, uint32_t rsHi, uint32_t rtLo, uint32_t rtHi);
void divideDoublewordUnsigned(uint32_t rsLo, uint32_t rsHi, uint32_t rtLo, uint32_t rtHi);
// The boot code's checksum-failure loop was entered: ask whether to go on.
void stuckInCrcLoop();
// The guest waits in an idle loop (a jump to itself with an empty delay
// slot): counts the skip and moves Count forward to just before the nearer of
// the next VI interrupt and the timer at Compare (when Compare is not 0), so
// that the run loop raises it after this block. Count never moves backwards:
// a Compare that Count has already passed only comes round again after Count
// wraps, which is farther than the next VI.
void skipIdleTime();
}

// DIV and DIVU of two 32-bit words as the R4300 gives them, also for a zero
// divisor and 0x80000000 / -1. Results are the 32-bit quotient and remainder.
struct Division32 {
    uint32_t quotient;
    uint32_t remainder;
};
Division32 divideSigned32(uint32_t dividend, uint32_t divisor);
Division32 divideUnsigned32(uint32_t dividend, uint32_t divisor);
