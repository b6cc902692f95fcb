// The x86-64 emitter: one small function per machine-code form that the
// instruction templates use. Every function appends its bytes at
// compileState.emitPtr, never past the emit limit; an emit that would not fit
// writes nothing and raises the sticky "out of room" flag instead.
//
// Operands written [abs] are addresses of host variables (guest registers,
// mem_actions, nextViCount, ...). They are encoded RIP-relative (ModRM 05),
// the displacement counting from the end of the whole instruction, so every
// such variable must lie within +-2 GiB of the code (checked at start-up by
// the code cache, and again per operand here).
#pragma once

#include <cstdint>
#include <initializer_list>

#include "cpu/recompiler/compile_state.h"

namespace x86 {

// Host registers by their encoding number.
enum Reg : uint8_t { EAX = 0, ECX = 1, EDX = 2, EBX = 3, ESI = 6, EDI = 7 };

// Condition codes of jcc (the low nibble of 0x7x).
enum Cond : uint8_t {
    JO = 0x0,
    JNO = 0x1,
    JB = 0x2,
    JAE = 0x3,
    JE = 0x4,
    JNE = 0x5,
    JA = 0x7,
    JL = 0xC,
    JGE = 0xD,
    JLE = 0xE,
    JG = 0xF,
};

// Sets the region that the following emits may fill: [start, limit).
void beginEmit(uint8_t* start, uint8_t* limit);
// True when an emit did not fit or an operand was out of RIP-relative reach.
bool outOfRoom();
// Whether `target` can be reached with a 32-bit displacement from every byte
// of [from, from + length).
bool isReachable(const void* target, const void* from, uint64_t length);

// The sticky flag is raised and the region closed: no later emit fits.
inline void markOutOfRoom() {
    compileState.emitOutOfRoom = true;
    compileState.emitLimit = compileState.emitPtr;
}

// Reserves n bytes at the emit position; null (and the sticky flag) when
// they do not fit. One comparison: a failed emit closes the region, and no
// region is open before beginEmit (both pointers null).
inline uint8_t* reserveBytes(unsigned n) {
    CompileState& s = compileState;
    if (s.emitLimit - s.emitPtr < long(n)) {
        markOutOfRoom();
        return nullptr;
    }
    uint8_t* at = s.emitPtr;
    s.emitPtr += n;
    return at;
}

// The RIP-relative displacement of `abs` for an instruction of `length`
// bytes starting at `start`; raises the sticky flag when it does not fit.
inline uint32_t ripDisplacementTo(const uint8_t* start, unsigned length, const void* abs) {
    const int64_t d = int64_t(reinterpret_cast<intptr_t>(abs)) -
                      int64_t(reinterpret_cast<intptr_t>(start + length));
    if (d < INT32_MIN || d > INT32_MAX) {
        markOutOfRoom();
        return 0;
    }
    return uint32_t(int32_t(d));
}

// Loads and stores of 32-bit host variables.
void movRegAbs(Reg dst, const void* abs);      // mov r32, [abs]
void movAbsReg(const void* abs, Reg src);      // mov [abs], r32
void movAbsImm(const void* abs, uint32_t imm); // mov dword [abs], imm32
void movRegImm(Reg dst, uint32_t imm);         // mov r32, imm32
void movRegReg(Reg dst, Reg src);              // mov r32, r32
void cdq();                                    // sign of EAX into EDX

// Arithmetic and logic.
void addEaxImm(uint32_t imm);                  // add eax, imm32
void andRegImm(Reg dst, uint32_t imm);         // and r32, imm32
void orRegImm(Reg dst, uint32_t imm);          // or r32, imm32
void xorEaxImm(uint32_t imm);                  // xor eax, imm32
void cmpRegImm(Reg dst, uint32_t imm);         // cmp r32, imm32
void addRegReg(Reg dst, Reg src);              // add r32, r32
void subRegReg(Reg dst, Reg src);              // sub r32, r32
void andRegReg(Reg dst, Reg src);              // and r32, r32
void orRegReg(Reg dst, Reg src);               // or r32, r32
void xorRegReg(Reg dst, Reg src);              // xor r32, r32
void cmpRegReg(Reg left, Reg right);           // cmp left, right
void andRegAbs(Reg dst, const void* abs);      // and r32, [abs]
void orRegAbs(Reg dst, const void* abs);       // or r32, [abs]
void cmpRegAbs(Reg left, const void* abs);     // cmp r32, [abs]
void andAbsImm(const void* abs, uint32_t imm); // and dword [abs], imm32
void orAbsImm(const void* abs, uint32_t imm);  // or dword [abs], imm32
void notReg(Reg r);                            // not r32
void decEax();                                 // dec eax (FF C8)
void testEaxZero();                            // or eax, eax
void testAlImm(uint8_t imm);                   // test al, imm8

// Shifts of a 32-bit register.
void shlRegImm(Reg r, uint8_t count);
void shrRegImm(Reg r, uint8_t count);
void sarRegImm(Reg r, uint8_t count);
void shlEaxCl();
void shrEaxCl();
void sarEaxCl();

// Multiplication of EAX by EBX into EDX:EAX.
void imulEbx();
void mulEbx();

// Accesses through the host pointer in RAX (a full 64-bit address).
void movEaxPtrRax();         // mov eax, [rax]
void movsxEaxBytePtrRax();   // movsx eax, byte [rax]
void movsxEaxWordPtrRax();   // movsx eax, word [rax]
void movzxEaxBytePtrRax();   // movzx eax, byte [rax]
void movzxEaxWordPtrRax();   // movzx eax, word [rax]
void movPtrRaxEcx();         // mov [rax], ecx
void movPtrRaxCx();          // mov [rax], cx
void movPtrRaxCl();          // mov [rax], cl
void movRcxRax();            // mov rcx, rax
void movRaxRcx();            // mov rax, rcx
void addRaxImm8(int8_t imm); // add rax, imm8

// Accesses to a TLB entry through the host pointer in RDX.
void leaRcxAbs(const void* abs);         // lea rcx, [abs]
void addRdxRcx();                        // add rdx, rcx
void movRegPtrRdx(Reg dst, int8_t disp); // mov r32, [rdx + disp8]
void movPtrRdxReg(int8_t disp, Reg src); // mov [rdx + disp8], r32

// The x87 unit. Single operands are dwords, doubles qwords, words dword
// integers; every template leaves the x87 stack as it found it.
enum X87Op : uint8_t { FADD = 0, FMUL = 1, FSUB = 4, FDIV = 6 };
void fldDword(const void* abs);                // fld dword [abs]
void fldQword(const void* abs);                // fld qword [abs]
void fildDword(const void* abs);               // fild dword [abs]
void fstpDword(const void* abs);               // fstp dword [abs]
void fstpQword(const void* abs);               // fstp qword [abs]
void fistpDword(const void* abs);              // fistp dword [abs] (current rounding)
void fisttpDword(const void* abs);             // fisttp dword [abs] (toward zero)
void x87ArithDword(X87Op op, const void* abs); // fadd/fsub/fmul/fdiv dword [abs]
void x87ArithQword(X87Op op, const void* abs); // fadd/fsub/fmul/fdiv qword [abs]
void fcompDword(const void* abs);              // fcomp dword [abs]
void fcompQword(const void* abs);              // fcomp qword [abs]
void fsqrtTop();                               // fsqrt
void fabsTop();                                // fabs
void fchsTop();                                // fchs
void fnstswAx();                               // fnstsw ax
void testAhImm8(uint8_t imm);                  // test ah, imm8

// Control flow. Short jumps return the address of their displacement byte so
// that a forward jump can be patched once its target is emitted.
uint8_t* jccShort(Cond cond, uint8_t displacement);
uint8_t* jmpShort(uint8_t displacement);
// Points the short jump whose displacement byte is at `displacementByte` to
// the current emit position.
void patchShortJumpHere(uint8_t* displacementByte);
void callRel32(const void* target); // call target (E8 rel32)
void ret();
void pushRbx();
void popRbx();
void nop();

// Generic forms for emitters of other instruction groups (the SSE unit):
// the bytes as given, and an instruction whose bytes `opcode` (prefixes
// included) are followed by ModRM (mod 00, reg `regField`, rm 101) and the
// RIP-relative displacement of `abs`.
void emitBytes(std::initializer_list<uint8_t> bytes);
void emitRipForm(std::initializer_list<uint8_t> opcode, uint8_t regField, const void* abs);

} // namespace x86
