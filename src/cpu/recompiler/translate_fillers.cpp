// The fillers of the instruction table's empty places.
#include "cpu/recompiler/translators.h"

// Reserved and unimplemented-but-harmless encodings: no code, no message; the
// instruction still counts in its block.
void translateReserved() {}

// An instruction the translator cannot handle: no code. The block analysis
// reports it, ends the block after it and halts the emulation once the block
// has run.
void translateMissing() {}
