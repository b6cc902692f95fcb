#include "debug/disassembler.h"

#include <cstdio>

// Placeholder until the decoder tables exist: every word is unknown but NOP.
void disassembleInstruction(uint32_t, uint32_t, uint32_t word, char* mnemonic, char* operands) {
    std::snprintf(mnemonic, DISASSEMBLY_TEXT_SIZE, "%s", word == 0 ? "NOP" : "Unknown");
    std::snprintf(operands, DISASSEMBLY_TEXT_SIZE, "%s", word == 0 ? "" : "Instruction");
}
