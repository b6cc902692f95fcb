// The messages shown while a block is compiled, for instructions that
// neither core carries out. Each one halts the emulation once the block has
// run; the block itself is compiled and runs as usual.
#pragma once

#include <cstdint>

// An instruction without a routine: "Instruction <group>_<mnemonic>() @ $<pc>
// missing in the recompiler!".
void reportMissingInstruction(uint32_t pc, uint32_t word);

// The FPU's unsupported formats and compare conditions, decided from the
// whole word; silent for the forms that are carried out (or ignored).
void reportFpuSqrt(uint32_t word);
void reportFpuCvtS(uint32_t word);
void reportFpuCvtD(uint32_t word);
void reportFpuCompare(uint32_t word);
