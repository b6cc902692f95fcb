// The translation routines of the complete machine's integer instructions
// (the complete instruction table reaches them). They work on whole guest
// registers in RAX: a guest register is two host words, low word first, so
// on the little-endian host it is also one 64-bit host variable.
#pragma once

#include <cstdint>

#include "core/cpu_state.h"

// Arithmetic and logic on whole registers.
void translateDadd();
void translateDsub();
void translateDaddi();
void translateXorWide();
void translateXoriWide();

// Shifts.
void translateSraWide();
void translateSravWide();
void translateDsra();
void translateDsllv();
void translateDsrlv();
void translateDsrav();

// Multiplication and division of doublewords.
void translateDmult();
void translateDmultuWide();
void translateDdiv();

// COP0 moves into whole registers.
void translateMfc0Wide();

// Loads and stores.
void translateLwu();
void translateLwrWide();
void translateLdl();
void translateLdr();
void translateSdl();
void translateSdr();
void translateLl();
void translateLld();
void translateSc();
void translateScd();
// ERET that also clears LLbit.
void translateEretClearingLink();
// mov dword [loadLinkedBit], 0: what every return from an exception does.
void emitClearLoadLinked();

// Branches on whole registers.
void translateBeqWide();
void translateBneWide();
void translateBlezWide();
void translateBgtzWide();
void translateBltzWide();
void translateBgezWide();
void translateBeqlWide();
void translateBnelWide();
void translateBlezlWide();
void translateBgtzlWide();
void translateBltzlWide();
void translateBgezlWide();
void translateBltzal();
void translateBgezalWide();
void translateBltzall();
void translateBgezall();

// The whole guest register n as one 64-bit host variable.
inline uint64_t* gpr64(unsigned n) {
    return reinterpret_cast<uint64_t*>(&theCpu.gpr[n & 31]);
}
// Stores RAX into gpr[rd], unless rd is 0.
void emitStoreRax(unsigned rd);
