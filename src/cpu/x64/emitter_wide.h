// The 64-bit forms of the x86-64 emitter: whole guest registers moved,
// added, shifted and compared in RAX (REX.W), for the templates of the
// complete machine. Like the 32-bit forms, each appends its bytes at the emit
// position and [abs] operands are RIP-relative.
#pragma once

#include <cstdint>

namespace x86 {

void movRaxAbs64(const void* abs); // mov rax, [abs]
void movAbs64Rax(const void* abs); // mov [abs], rax
void addRaxAbs64(const void* abs); // add rax, [abs]
void subRaxAbs64(const void* abs); // sub rax, [abs]
void xorRaxAbs64(const void* abs); // xor rax, [abs]
void cmpRaxAbs64(const void* abs); // cmp rax, [abs]
void addRaxImm32(uint32_t imm);    // add rax, imm32 (sign-extended)
void xorRaxImm32(uint32_t imm);    // xor rax, imm32 (sign-extended)
void shlRaxImm(uint8_t count);     // shl rax, imm8
void shrRaxImm(uint8_t count);     // shr rax, imm8
void sarRaxImm(uint8_t count);     // sar rax, imm8
void shlRaxCl();                   // shl rax, cl (count taken modulo 64)
void shrRaxCl();                   // shr rax, cl
void sarRaxCl();                   // sar rax, cl
void movsxdRaxEax();               // movsxd rax, eax
void testRaxRax();                 // test rax, rax

} // namespace x86
