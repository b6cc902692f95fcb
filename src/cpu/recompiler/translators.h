// The translation routines of the guest's instructions (the instruction
// table reaches them) and the code idioms they share. Each routine reads
// compileState (filled in by translateStep) and appends its template; the
// block's shape is not theirs to decide.
#pragma once

#include <cstdint>

#include "core/cpu_state.h"
#include "cpu/x64/emitter.h"

// Fillers of the table's empty places: reserved encodings and missing
// instructions (both emit no code).
void translateReserved();
void translateMissing();

// Jumps and branches.
void translateJ();
void translateJal();
void translateJr();
void translateJalr();
void translateBeq();
void translateBne();
void translateBlez();
void translateBgtz();
void translateBltz();
void translateBgez();
void translateBgezal();
void translateBeql();
void translateBnel();
void translateBlezl();
void translateBgtzl();
void translateBltzl();
void translateBgezl();

// Immediate and register arithmetic and logic.
void translateAddi();
void translateSlti();
void translateSltiu();
void translateAndi();
void translateOri();
void translateXori();
void translateLui();
void translateAdd();
void translateSub();
void translateAnd();
void translateOr();
void translateXor();
void translateNor();
void translateSlt();
void translateSltu();

// Shifts.
void translateSll();
void translateSrl();
void translateSra();
void translateSllv();
void translateSrlv();
void translateSrav();
void translateDsll();
void translateDsrl();
void translateDsll32();
void translateDsrl32();
void translateDsra32();

// HI/LO, multiplication and division.
void translateMfhi();
void translateMflo();
void translateMthi();
void translateMtlo();
void translateMult();
void translateMultu();
void translateDiv();
void translateDivu();
void translateDmultu();
void translateDdivu();

// Loads and stores.
void translateLb();
void translateLh();
void translateLw();
void translateLbu();
void translateLhu();
void translateLd();
void translateLwl();
void translateLwr();
void translateLwc1();
void translateLdc1();
void translateSb();
void translateSh();
void translateSw();
void translateSd();
void translateSwl();
void translateSwr();
void translateSwc1();
void translateSdc1();

// System-control coprocessor: moves, TLB instructions, ERET.
void translateMfc0();
void translateMtc0();
void translateTlbr();
void translateTlbwi();
void translateTlbp();
// The complete machine's TLBP and TLBWR: calls of the TLB's own routines.
void translateProbeTlb();
void translateTlbwr();
void translateEret();

// Floating-point unit: moves, branches, arithmetic, conversions, compares.
void translateMfc1();
void translateCfc1();
void translateMtc1();
void translateCtc1();
void translateBc1f();
void translateBc1t();
void translateBc1fl();
void translateBc1tl();
void translateFpuAdd();
void translateFpuSub();
void translateFpuMul();
void translateFpuDiv();
void translateFpuSqrt();
void translateFpuAbs();
void translateFpuMov();
void translateFpuNeg();
void translateFpuTruncW();
void translateFpuCvtS();
void translateFpuCvtD();
void translateFpuCvtW();
void translateFpuCompare();

// The complete machine's exceptions: SYSCALL, BREAK, the traps, and the
// additions and subtractions that trap on overflow. An instruction that
// raises one leaves its block at once, through the end check when an earlier
// store asked for it.
void translateSyscall();
void translateBreak();
void translateReservedInstruction();
void translateTrap();
void translateAddChecked();
void translateAddiChecked();
void translateSubChecked();
void translateDoublewordChecked();

// A two-way branch after its comparison: jcc `skipFirst` over the store of
// `first` into pc, a jmp over the store of `second`.
void emitTwoWay(x86::Cond skipFirst, uint32_t first, uint32_t second);
// A likely branch after its comparison: taken on `taken` (pc = the target);
// otherwise pc = the fall-through address and the block is left at once, so
// the delay slot does not run.
void emitLikely(x86::Cond taken);

// Appends the end check tail: when a register effect is pending, call
// processMemActions; then leave the block.
void emitEndCheck();
// Leaves the block early (a likely branch not taken): the end check tail
// when a store of this block asked for it, otherwise a plain return.
void emitBlockExit();

// EAX = gpr[rs].lo + simm, the address of a load or store (the offset is
// added also when it is 0). On the complete machine an address its size does
// not align raises the address error there and leaves the block.
void emitEffectiveAddress();

// Addresses of guest register words as translated code sees them.
inline uint32_t* gprLo(unsigned n) {
    return &theCpu.gpr[n & 31].lo;
}
inline uint32_t* gprHi(unsigned n) {
    return &theCpu.gpr[n & 31].hi;
}
// Stores EAX and its sign extension into gpr[rd] (cdq first); register 0 is
// never written.
void emitStoreEaxSignExtended(unsigned rd);
// Stores a constant 64-bit value given as two words into gpr[rd].
void emitStoreConstant(unsigned rd, uint32_t lo, uint32_t hi);
// Stores EAX (low) and EDX (high) into gpr[rd], unless rd is 0.
void emitStoreEaxEdx(unsigned rd);

// DIV and DIVU run natively so that a zero divisor or 0x80000000 / -1 never
// faults the host; lo and hi receive the sign-extended quotient and remainder.
extern "C" void divideWordSigned(uint32_t dividend, uint32_t divisor);
extern "C" void divideWordUnsigned(uint32_t dividend, uint32_t divisor);
