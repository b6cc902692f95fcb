// The SSE forms of the complete machine's FPU templates, and the few 64-bit
// general-register forms they need. Every operation works on XMM0; memory
// operands are host variables reached RIP-relative, as in emitter.h.
#pragma once

#include <cstdint>

namespace x86 {

// The scalar operations, by their opcode byte after 0F.
enum SseOp : uint8_t {
    SSE_SQRT = 0x51,
    SSE_ADD = 0x58,
    SSE_MUL = 0x59,
    SSE_SUB = 0x5C,
    SSE_DIV = 0x5E,
};

// `isDouble` selects the sd form (double), otherwise the ss form (single).
void movXmm0Abs(bool isDouble, const void* abs);             // movss/movsd xmm0, [abs]
void movAbsXmm0(bool isDouble, const void* abs);             // movss/movsd [abs], xmm0
void sseOpXmm0Abs(SseOp op, bool isDouble, const void* abs); // addss/... xmm0, [abs]
void ucomiXmm0Abs(bool isDouble, const void* abs);           // ucomiss/ucomisd xmm0, [abs]
// cvtss2sd (from a single) or cvtsd2ss (from a double) xmm0, [abs].
void cvtFloatXmm0Abs(bool fromDouble, const void* abs);
// cvtsi2ss/cvtsi2sd xmm0, dword or qword [abs] (current rounding).
void cvtIntegerXmm0Abs(bool toDouble, bool fromLong, const void* abs);
// cvtss2si/cvtsd2si eax or rax, [abs] (current rounding).
void cvtToIntegerAbs(bool fromDouble, bool toLong, const void* abs);

void ldmxcsrAbs(const void* abs); // ldmxcsr [abs]
void ldmxcsrRcxRax4();            // ldmxcsr [rcx + rax * 4]
void lahf();                      // flags into AH

void movdXmm0Eax();                 // movd xmm0, eax
void movqXmm0Rax();                 // movq xmm0, rax
void movRaxAbs(const void* abs);    // mov rax, [abs]
void movAbsRax(const void* abs);    // mov [abs], rax
void movRdiRax();                   // mov rdi, rax
void btrRax63();                    // btr rax, 63 (clear the sign)
void btcRax63();                    // btc rax, 63 (flip the sign)
void movEaxPtrRaxPlus(int8_t disp); // mov eax, [rax + disp8]

} // namespace x86
