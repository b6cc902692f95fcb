// The reference interpreter: runs one block of guest code with exactly the
// semantics of the translated code (the same block boundaries, the same
// 32-bit model and quirks), as the oracle of the recompiler and as a CPU core
// for debugging.
#pragma once

#include <cstdint>

// Runs the block that starts at guest address startPc, whose first instruction
// word is at `source` with `wordsAvailable` words of its memory block left from
// there. Before it runs, pc is set to the block's last instruction as the run
// loop does for a translated block; on return pc holds the next block's address.
// Returns the block's instruction count.
uint32_t interpretBlock(uint32_t startPc, const uint8_t* source, uint32_t wordsAvailable);
