// Native routines of the complete machine's 64-bit instructions, called from
// translated code (System V calling convention, plain 32-bit arguments) and
// by the reference interpreter, so that both CPU cores share one definition.
#pragma once

#include <cstdint>

extern "C" {
// DMULT, DMULTU: the 128-bit product of gpr[rs] and gpr[rt]; lo receives its
// low doubleword, hi its high one. DDIV: the signed quotient into lo and the
// remainder into hi, also for a zero divisor and the minimum divided by -1.
// Operands are 64-bit values passed low word first.
void multiplyDoublewordSigned(uint32_t rsLo, uint32_t rsHi, uint32_t rtLo, uint32_t rtHi);
void multiplyDoublewordUnsignedWhole(uint32_t rsLo, uint32_t rsHi, uint32_t rtLo, uint32_t rtHi);
void divideDoublewordSigned(uint32_t rsLo, uint32_t rsHi, uint32_t rtLo, uint32_t rtHi);

// LWR with the whole register: the high word keeps its value unless the
// merge reaches bit 31 (an address ending in 3), which sign-extends.
void loadWordRightWide(uint32_t rt, uint32_t vaddr);
// LDL, LDR: merge the guest doubleword at V & ~7 into gpr[rt].
void loadDoublewordLeft(uint32_t rt, uint32_t vaddr);
void loadDoublewordRight(uint32_t rt, uint32_t vaddr);
// SDL, SDR: merge gpr[rt] into the guest doubleword at V & ~7; its words are
// written only when they change.
void storeDoublewordLeft(uint32_t rt, uint32_t vaddr);
void storeDoublewordRight(uint32_t rt, uint32_t vaddr);

// LL, LLD: the load, then LLbit set and LLAddr = the physical address >> 4.
void loadLinkedWord(uint32_t rt, uint32_t vaddr);
void loadLinkedDoubleword(uint32_t rt, uint32_t vaddr);
// SC, SCD: with LLbit set the store is made and gpr[rt] becomes 1; without
// it memory is left alone and gpr[rt] becomes 0.
void storeConditionalWord(uint32_t rt, uint32_t vaddr);
void storeConditionalDoubleword(uint32_t rt, uint32_t vaddr);
}
