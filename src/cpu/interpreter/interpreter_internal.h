// Shared pieces of the reference interpreter: the decoded instruction, the
// routines of the instruction families (the instruction table reaches them)
// and the register helpers they use.
//
// A block is run in two passes: the first takes the block's shape and its
// compile-time facts from BlockAnalysis, exactly as the recompiler does; the
// second runs the captured words in order.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/cpu_state.h"
#include "cpu/block_analysis.h"
#include "cpu/guest_exceptions.h"
#include "cpu/instruction_table.h"

namespace interp {

// One guest instruction as the interpreter runs it.
struct Instruction {
    uint32_t pc;    // guest address of the instruction
    uint32_t word;  // the instruction word
    uint32_t flags; // BlockStepFlags

    uint32_t op() const { return word >> 26; }
    uint32_t rs() const { return (word >> 21) & 31; }
    uint32_t rt() const { return (word >> 16) & 31; }
    uint32_t rd() const { return (word >> 11) & 31; }
    uint32_t sa() const { return (word >> 6) & 31; }
    uint32_t funct() const { return word & 63; }
    uint32_t zimm() const { return word & 0xFFFF; }
    // The immediate sign-extended to 32 bits.
    uint32_t simm() const { return uint32_t(int32_t(int16_t(word & 0xFFFF))); }
    uint32_t target26() const { return word & 0x03FFFFFF; }
    uint32_t bcCode() const { return (word >> 16) & 3; }
    // Target of a two-way branch: PC + 4 + (offset << 2).
    uint32_t branchTarget() const { return pc + 4 + (simm() << 2); }
};

// Per-run state of one block.
struct BlockRun {
    // Set by a likely branch whose condition fails: the block returns at once.
    bool leftEarly = false;
    // Set with leftEarly by an instruction that entered the exception
    // handler: the block ends there, through the end check when an earlier
    // instruction of the block requested it.
    bool exceptionTaken = false;
};

// Routine of the entries that do nothing when run (reserved encodings and
// missing instructions).
void interpretNothing(const Instruction&, BlockRun&);

// Jumps and branches.
void interpretJ(const Instruction&, BlockRun&);
void interpretJal(const Instruction&, BlockRun&);
void interpretJr(const Instruction&, BlockRun&);
void interpretJalr(const Instruction&, BlockRun&);
void interpretBeq(const Instruction&, BlockRun&);
void interpretBne(const Instruction&, BlockRun&);
void interpretBlez(const Instruction&, BlockRun&);
void interpretBgtz(const Instruction&, BlockRun&);
void interpretBltz(const Instruction&, BlockRun&);
void interpretBgez(const Instruction&, BlockRun&);
void interpretBgezal(const Instruction&, BlockRun&);
void interpretBeql(const Instruction&, BlockRun&);
void interpretBnel(const Instruction&, BlockRun&);
void interpretBlezl(const Instruction&, BlockRun&);
void interpretBgtzl(const Instruction&, BlockRun&);
void interpretBltzl(const Instruction&, BlockRun&);
void interpretBgezl(const Instruction&, BlockRun&);

// Immediate and register arithmetic and logic.
void interpretAddi(const Instruction&, BlockRun&);
void interpretSlti(const Instruction&, BlockRun&);
void interpretSltiu(const Instruction&, BlockRun&);
void interpretAndi(const Instruction&, BlockRun&);
void interpretOri(const Instruction&, BlockRun&);
void interpretXori(const Instruction&, BlockRun&);
void interpretLui(const Instruction&, BlockRun&);
void interpretAdd(const Instruction&, BlockRun&);
void interpretSub(const Instruction&, BlockRun&);
void interpretAnd(const Instruction&, BlockRun&);
void interpretOr(const Instruction&, BlockRun&);
void interpretXor(const Instruction&, BlockRun&);
void interpretNor(const Instruction&, BlockRun&);
void interpretSlt(const Instruction&, BlockRun&);
void interpretSltu(const Instruction&, BlockRun&);

// Shifts.
void interpretSll(const Instruction&, BlockRun&);
void interpretSrl(const Instruction&, BlockRun&);
void interpretSra(const Instruction&, BlockRun&);
void interpretSllv(const Instruction&, BlockRun&);
void interpretSrlv(const Instruction&, BlockRun&);
void interpretSrav(const Instruction&, BlockRun&);
void interpretDsll(const Instruction&, BlockRun&);
void interpretDsrl(const Instruction&, BlockRun&);
void interpretDsll32(const Instruction&, BlockRun&);
void interpretDsrl32(const Instruction&, BlockRun&);
void interpretDsra32(const Instruction&, BlockRun&);

// HI/LO, multiplication and division.
void interpretMfhi(const Instruction&, BlockRun&);
void interpretMflo(const Instruction&, BlockRun&);
void interpretMthi(const Instruction&, BlockRun&);
void interpretMtlo(const Instruction&, BlockRun&);
void interpretMult(const Instruction&, BlockRun&);
void interpretMultu(const Instruction&, BlockRun&);
void interpretDiv(const Instruction&, BlockRun&);
void interpretDivu(const Instruction&, BlockRun&);
void interpretDmultu(const Instruction&, BlockRun&);
void interpretDdivu(const Instruction&, BlockRun&);

// Loads and stores.
void interpretLb(const Instruction&, BlockRun&);
void interpretLh(const Instruction&, BlockRun&);
void interpretLw(const Instruction&, BlockRun&);
void interpretLbu(const Instruction&, BlockRun&);
void interpretLhu(const Instruction&, BlockRun&);
void interpretLd(const Instruction&, BlockRun&);
void interpretLwl(const Instruction&, BlockRun&);
void interpretLwr(const Instruction&, BlockRun&);
void interpretLwc1(const Instruction&, BlockRun&);
void interpretLdc1(const Instruction&, BlockRun&);
void interpretSb(const Instruction&, BlockRun&);
void interpretSh(const Instruction&, BlockRun&);
void interpretSw(const Instruction&, BlockRun&);
void interpretSd(const Instruction&, BlockRun&);
void interpretSwl(const Instruction&, BlockRun&);
void interpretSwr(const Instruction&, BlockRun&);
void interpretSwc1(const Instruction&, BlockRun&);
void interpretSdc1(const Instruction&, BlockRun&);

// System-control coprocessor: moves, TLB instructions, ERET.
void interpretMfc0(const Instruction&, BlockRun&);
void interpretMtc0(const Instruction&, BlockRun&);
void interpretTlbr(const Instruction&, BlockRun&);
void interpretTlbwi(const Instruction&, BlockRun&);
void interpretTlbp(const Instruction&, BlockRun&);
void interpretProbeTlb(const Instruction&, BlockRun&);
void interpretTlbwr(const Instruction&, BlockRun&);
void interpretEret(const Instruction&, BlockRun&);

// Floating-point unit: moves, branches, arithmetic, conversions, compares.
void interpretMfc1(const Instruction&, BlockRun&);
void interpretCfc1(const Instruction&, BlockRun&);
void interpretMtc1(const Instruction&, BlockRun&);
void interpretCtc1(const Instruction&, BlockRun&);
void interpretBc1f(const Instruction&, BlockRun&);
void interpretBc1t(const Instruction&, BlockRun&);
void interpretBc1fl(const Instruction&, BlockRun&);
void interpretBc1tl(const Instruction&, BlockRun&);
void interpretFpuAdd(const Instruction&, BlockRun&);
void interpretFpuSub(const Instruction&, BlockRun&);
void interpretFpuMul(const Instruction&, BlockRun&);
void interpretFpuDiv(const Instruction&, BlockRun&);
void interpretFpuSqrt(const Instruction&, BlockRun&);
void interpretFpuAbs(const Instruction&, BlockRun&);
void interpretFpuMov(const Instruction&, BlockRun&);
void interpretFpuNeg(const Instruction&, BlockRun&);
void interpretFpuTruncW(const Instruction&, BlockRun&);
void interpretFpuCvtS(const Instruction&, BlockRun&);
void interpretFpuCvtD(const Instruction&, BlockRun&);
void interpretFpuCvtW(const Instruction&, BlockRun&);
void interpretFpuCompare(const Instruction&, BlockRun&);

// The complete machine's exceptions: SYSCALL, BREAK, the traps, and the
// additions and subtractions that trap on overflow.
// A load or store of the complete machine: the address error when its
// address is not aligned to its size, otherwise the instruction's own
// routine. interpretAligned<routine, mask> calls it directly (mask: its size
// less one); interpretAlignedAccess finds it in alignedAccessRoutines (by
// primary opcode).
void raiseAddressError(const Instruction&, BlockRun&);
template <InterpretRoutine routine, uint32_t mask>
void interpretAligned(const Instruction& in, BlockRun& run) {
    if ((theCpu.gpr[in.rs()].lo + in.simm()) & mask) {
        raiseAddressError(in, run);
        return;
    }
    routine(in, run);
}
void interpretAlignedAccess(const Instruction&, BlockRun&);
extern InterpretRoutine alignedAccessRoutines[64];
void interpretSyscall(const Instruction&, BlockRun&);
void interpretBreak(const Instruction&, BlockRun&);
void interpretReservedInstruction(const Instruction&, BlockRun&);
void interpretTrap(const Instruction&, BlockRun&);
void interpretAddChecked(const Instruction&, BlockRun&);
void interpretAddiChecked(const Instruction&, BlockRun&);
void interpretSubChecked(const Instruction&, BlockRun&);
void interpretDoublewordChecked(const Instruction&, BlockRun&);

// --- Register helpers. Register 0 is never written. ---

inline uint32_t signOf(uint32_t value) {
    return (value & 0x80000000u) ? 0xFFFFFFFFu : 0;
}

// A 32-bit result with its sign extension.
inline void setGprSigned(uint32_t n, uint32_t value) {
    if (n == 0) return;
    theCpu.gpr[n].lo = value;
    theCpu.gpr[n].hi = signOf(value);
}

inline void setGprWords(uint32_t n, uint32_t lo, uint32_t hi) {
    if (n == 0) return;
    theCpu.gpr[n].lo = lo;
    theCpu.gpr[n].hi = hi;
}

// --- Access to guest memory through a host pointer from the memory map. The
// pointer may be unaligned (the low address bits are kept), hence memcpy. ---

inline uint32_t hostRead32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void hostWrite32(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, 4);
}
inline uint16_t hostRead16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
inline void hostWrite16(uint8_t* p, uint16_t v) {
    std::memcpy(p, &v, 2);
}

} // namespace interp
