// The reference interpreter's routines of the complete machine's integer
// instructions: the 64-bit operations and the ones whose results differ from
// the design machine's once the registers are 64 bits throughout.
#pragma once

#include "cpu/interpreter/interpreter_internal.h"

namespace interp {

// Arithmetic and logic on whole registers.
void interpretDadd(const Instruction&, BlockRun&);
void interpretDsub(const Instruction&, BlockRun&);
void interpretDaddi(const Instruction&, BlockRun&);
void interpretXorWide(const Instruction&, BlockRun&);
void interpretXoriWide(const Instruction&, BlockRun&);

// Shifts.
void interpretSraWide(const Instruction&, BlockRun&);
void interpretSravWide(const Instruction&, BlockRun&);
void interpretDsra(const Instruction&, BlockRun&);
void interpretDsllv(const Instruction&, BlockRun&);
void interpretDsrlv(const Instruction&, BlockRun&);
void interpretDsrav(const Instruction&, BlockRun&);

// Multiplication and division of doublewords.
void interpretDmult(const Instruction&, BlockRun&);
void interpretDmultuWide(const Instruction&, BlockRun&);
void interpretDdiv(const Instruction&, BlockRun&);

// COP0 moves into whole registers.
void interpretMfc0Wide(const Instruction&, BlockRun&);

// Loads and stores.
void interpretLwu(const Instruction&, BlockRun&);
void interpretLwrWide(const Instruction&, BlockRun&);
void interpretLdl(const Instruction&, BlockRun&);
void interpretLdr(const Instruction&, BlockRun&);
void interpretSdl(const Instruction&, BlockRun&);
void interpretSdr(const Instruction&, BlockRun&);
void interpretLl(const Instruction&, BlockRun&);
void interpretLld(const Instruction&, BlockRun&);
void interpretSc(const Instruction&, BlockRun&);
void interpretScd(const Instruction&, BlockRun&);
// ERET that also clears LLbit.
void interpretEretClearingLink(const Instruction&, BlockRun&);

// Branches on whole registers.
void interpretBeqWide(const Instruction&, BlockRun&);
void interpretBneWide(const Instruction&, BlockRun&);
void interpretBlezWide(const Instruction&, BlockRun&);
void interpretBgtzWide(const Instruction&, BlockRun&);
void interpretBltzWide(const Instruction&, BlockRun&);
void interpretBgezWide(const Instruction&, BlockRun&);
void interpretBeqlWide(const Instruction&, BlockRun&);
void interpretBnelWide(const Instruction&, BlockRun&);
void interpretBlezlWide(const Instruction&, BlockRun&);
void interpretBgtzlWide(const Instruction&, BlockRun&);
void interpretBltzlWide(const Instruction&, BlockRun&);
void interpretBgezlWide(const Instruction&, BlockRun&);
void interpretBltzal(const Instruction&, BlockRun&);
void interpretBgezalWide(const Instruction&, BlockRun&);
void interpretBltzall(const Instruction&, BlockRun&);
void interpretBgezall(const Instruction&, BlockRun&);

} // namespace interp
