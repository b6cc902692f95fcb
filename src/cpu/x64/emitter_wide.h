// The forms the complete machine's templates add to the x86-64 emitter:
// 32-bit operations on word pairs (with carry and borrow), and 64-bit forms
// in RAX (REX.W). Like the others, each appends its bytes at the emit
// position and [abs] operands are RIP-relative.
//
// A guest register is written by most templates as two 32-bit stores; a
// 64-bit load of it right after them cannot take its value from the store
// buffer and stalls. Templates that need a whole register in RAX therefore
// load it as two words (loadRax), and most work on the word pairs instead.
#pragma once

#include <cstdint>

#include "cpu/x64/emitter.h"

namespace x86 {

void addRegAbs(Reg dst, const void* abs); // add r32, [abs]
void adcRegAbs(Reg dst, const void* abs); // adc r32, [abs]
void subRegAbs(Reg dst, const void* abs); // sub r32, [abs]
void sbbRegAbs(Reg dst, const void* abs); // sbb r32, [abs]
void xorRegAbs(Reg dst, const void* abs); // xor r32, [abs]
void adcRegImm(Reg dst, uint32_t imm);    // adc r32, imm32
// RAX = the 64-bit variable whose low word is at lowWord, read as two words
// (mov eax; mov edx; shl rdx, 32; or rax, rdx).
void loadRax(const uint32_t* lowWord);

void movAbs64Rax(const void* abs); // mov [abs], rax
void sarRaxImm(uint8_t count);     // sar rax, imm8
void shrdEaxEdxImm(uint8_t count); // shrd eax, edx, imm8
void shlRaxCl();                   // shl rax, cl (count taken modulo 64)
void shrRaxCl();                   // shr rax, cl
void sarRaxCl();                   // sar rax, cl

} // namespace x86
