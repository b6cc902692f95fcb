// Translation of one block of guest code into the code cache.
#pragma once

#include <cstdint>

// Translates the block that starts at guest address startPc, whose first
// instruction word is at `source` with `wordsAvailable` words of its memory
// block from there, into a block record at `record`; nothing is written at or
// beyond `limit`. The block ends one instruction after its first branch or
// jump, after an instruction that ends it (a missing one), or, when the
// memory block or the room runs out first, at the last word translated with
// pc set to the next address. Adds the record's size to usedBytes. Returns
// false, with nothing added, when the record does not fit.
bool compileBlock(uint32_t startPc, const uint8_t* source, uint32_t wordsAvailable, uint8_t* record,
                  uint8_t* limit);
