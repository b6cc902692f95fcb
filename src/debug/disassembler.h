// Text for single R4300i instruction words.
#pragma once

#include <cstdint>

constexpr unsigned DISASSEMBLY_TEXT_SIZE = 100;

// Writes the mnemonic and the operand text of `word` at address `pc` into the
// two buffers (each DISASSEMBLY_TEXT_SIZE characters). `reserved` is ignored.
void disassembleInstruction(uint32_t pc, uint32_t reserved, uint32_t word, char* mnemonic,
                            char* operands);
