// Shared pieces of the reference interpreter: the decoded instruction, the
// dispatch tables and the register helpers used by the instruction families.
//
// A block is run in two passes, as the recompiler does: the first walks the
// instruction words and fixes the block's extent and its compile-time facts
// (the likely branches' early-exit end check, the idle jump, the replaced
// JALs, the missing instructions' messages); the second runs the captured
// words in order.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/cpu_state.h"
#include "hle/hle_table.h"

namespace interp {

// Compile-time facts about one instruction of a block.
enum InstructionFlags : uint32_t {
    // J to itself whose delay slot is the word 0.
    INSTRUCTION_IDLE_JUMP = 1u << 0,
    // Likely branch compiled after a store that requested the end check: its
    // early exit runs the end check too.
    INSTRUCTION_END_CHECK_ON_EXIT = 1u << 1,
    // JAL whose callee is replaced by a native routine: the JAL does nothing.
    INSTRUCTION_CALL_REPLACED = 1u << 2,
};

// One guest instruction as the interpreter runs it.
struct Instruction {
    uint32_t pc;    // guest address of the instruction
    uint32_t word;  // the instruction word
    uint32_t flags; // InstructionFlags

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
};

using InterpretRoutine = void (*)(const Instruction&, BlockRun&);

// What an instruction does to the shape of its block while it is compiled.
enum class BlockEffect : uint8_t {
    None,
    Branch,       // two-way branch, JR, JALR: the next instruction is the delay slot
    LikelyBranch, // as Branch; its early exit may need the end check
    Jump,         // J: as Branch, plus the idle-loop look-ahead
    JumpAndLink,  // JAL: as Branch, plus the native-replacement test
    Store,        // requests the end check unless its base is the stack pointer
    Missing,      // not supported: message, halt, the block ends after it
    EndsBlock,    // the block ends after it
};

// A message the translation of an instruction shows (and the halt it sets)
// while its block is compiled, without changing the block's shape; decided
// from the whole word (the FPU's unsupported formats and conditions).
using CompileReport = void (*)(uint32_t word);

struct InterpretEntry {
    InterpretRoutine run;
    BlockEffect effect;
    CompileReport report = nullptr;
};

// The nine dispatch tables, indexed like the recompiler's.
struct InterpretTables {
    InterpretEntry main[64];
    InterpretEntry special[64];
    InterpretEntry regimm[32];
    InterpretEntry cop0[32];
    InterpretEntry bc0[4];
    InterpretEntry co[64];
    InterpretEntry cop1[32];
    InterpretEntry bc1[4];
    InterpretEntry fpu[64];
};

// Each family fills its entries; the fillers go first.
void installFillers(InterpretTables& tables);
void installBranches(InterpretTables& tables);
void installArithmetic(InterpretTables& tables);
void installShifts(InterpretTables& tables);
void installMultiplyDivide(InterpretTables& tables);
void installLoadsStores(InterpretTables& tables);
void installCop0(InterpretTables& tables);
void installFpu(InterpretTables& tables);

// The entry that runs `word` (dispatch entries resolved).
const InterpretEntry& lookupInstruction(uint32_t word);

// The message and halt of an instruction that no routine carries out.
void reportMissingInstruction(uint32_t pc, uint32_t word);

// How a JAL's callee is looked up for a native replacement (findHleFunction;
// tests substitute their own table).
using HleLookup = const HleFunction* (*)(uint32_t callPc, uint32_t target);
extern HleLookup hleLookup;

// Routine of the entries that do nothing when run.
void interpretNothing(const Instruction&, BlockRun&);

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
