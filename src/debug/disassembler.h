// Text for single R4300i instruction words.
#pragma once

#include <cstdint>

constexpr unsigned DISASSEMBLY_TEXT_SIZE = 100;

// Register names by 5-bit register field.
extern const char* const (&cpuRegisterNames)[32];  // "r0", "at", ... "ra"
extern const char* const fpuRegisterNames[32];     // "f00" to "f31"
extern const char* const (&cop0RegisterNames)[32]; // "Index", "Random", ...
extern const char* const fpuControlNames[32];      // "fcr00" to "fcr31"

// Writes the mnemonic and the operand text of `word` at address `pc` into the
// two buffers (each DISASSEMBLY_TEXT_SIZE characters). `reserved` is ignored.
// Encodings without a name give "Unknown" and "Instruction".
void disassembleInstruction(uint32_t pc, uint32_t reserved, uint32_t word, char* mnemonic,
                            char* operands);
