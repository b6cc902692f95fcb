// The one table of the guest's instruction encodings. Each entry gives what
// the disassembler prints (mnemonic and operand form), the reference
// interpreter's routine, the translator's routine and the instruction's
// effects on the shape of its block. Every user decodes through
// lookupInstruction, so the cores and the disassembler always agree on what an
// instruction word is.
#pragma once

#include <cstdint>

#include "core/machine_mode.h"

namespace interp {
struct Instruction;
struct BlockRun;
} // namespace interp

// How the operand text of an instruction is built.
enum class OperandForm : uint8_t {
    None,         // empty operand text
    Raw,          // operand text stays "Instruction"
    ThreeReg,     // rd, rs, rt
    VarShift,     // rd, rt, rs
    Shift,        // rd, rt, sa (four digits)
    Shift32,      // rd, rt, sa (two digits)
    MulDiv,       // rs, rt
    JumpReg,      // rs
    JumpLinkReg,  // rd, rs
    HiLoFrom,     // rd
    HiLoTo,       // rs
    Immediate,    // rt, rs, imm
    Upper,        // rt, imm
    LoadStore,    // rt, imm(rs)
    FpuLoadStore, // ft, imm(rs)
    Cache,        // op, imm(rs)
    Branch2,      // rs, rt, target
    Branch1,      // rs, target
    Jump,         // absolute target
    BranchCond,   // target
    Cop0Move,     // rt, COP0 rd
    Cop1Move,     // rt, fs
    Cop1Control,  // rt, FPU control fs
    Fpu3,         // fd, fs, ft
    Fpu2,         // fd, fs
};

// What an instruction does to the shape of its block (bits of
// InstructionInfo::shape).
enum BlockShapeEffect : uint8_t {
    // A branch or jump: the next instruction is its delay slot, after which
    // the block ends.
    SHAPE_DELAY_SLOT = 1u << 0,
    // A likely branch: when not taken it leaves the block at once, through
    // the end check when an earlier store of the block requested it.
    SHAPE_LIKELY = 1u << 1,
    // J: a jump to itself with the word 0 in its delay slot is the idle loop.
    SHAPE_IDLE_JUMP = 1u << 2,
    // JAL: the call site at which a native replacement of the callee runs.
    SHAPE_HLE_CALL_SITE = 1u << 3,
    // A store that requests the end check, unless its base is the stack
    // pointer (taken never to reach a hardware register).
    SHAPE_END_CHECK = 1u << 4,
    // The block ends after this instruction.
    SHAPE_ENDS_BLOCK = 1u << 5,
    // No routine carries it out: reported when its block is compiled, and the
    // emulation halts once the block has run.
    SHAPE_MISSING = 1u << 6,
    // Has a report routine, which may show a message when its block is
    // compiled.
    SHAPE_REPORTS = 1u << 7,
};

using InterpretRoutine = void (*)(const interp::Instruction&, interp::BlockRun&);
// A translation routine reads compileState and appends its template.
using TranslateRoutine = void (*)();
// A message an instruction shows (and the halt it sets) when its block is
// compiled, decided from the whole word (the FPU's unsupported formats and
// conditions); it does not change the block's shape.
using CompileReport = void (*)(uint32_t word);

struct InstructionInfo {
    const char* mnemonic; // nullptr: no instruction ("Unknown" to the disassembler)
    OperandForm form;
    uint8_t shape; // BlockShapeEffect bits
    InterpretRoutine interpret;
    TranslateRoutine translate;
    CompileReport report = nullptr;
};

// The table holds nine consecutive sub-tables; these are their first entries.
constexpr unsigned TABLE_MAIN = 0;     // 64 by op
constexpr unsigned TABLE_SPECIAL = 64; // 64 by funct
constexpr unsigned TABLE_REGIMM = 128; // 32 by rt
constexpr unsigned TABLE_COP0 = 160;   // 32 by rs
constexpr unsigned TABLE_BC0 = 192;    // 4 by bits 17-16
constexpr unsigned TABLE_CO = 196;     // 64 by funct
constexpr unsigned TABLE_COP1 = 260;   // 32 by rs
constexpr unsigned TABLE_BC1 = 292;    // 4 by bits 17-16
constexpr unsigned TABLE_FPU = 296;    // 64 by funct
constexpr unsigned INSTRUCTION_TABLE_SIZE = 360;

// The design machine's table.
extern const InstructionInfo instructionTable[INSTRUCTION_TABLE_SIZE];
// The complete machine's table: the design's, with the entries of the
// instructions the complete machine carries out differently or in addition.
// Built once before main from the families' lists of changed entries.
extern InstructionInfo completeInstructionTable[INSTRUCTION_TABLE_SIZE];

// The table index of an instruction word: the primary opcode, or the entry
// of the sub-table its opcode and rs field select.
inline unsigned instructionIndex(uint32_t word) {
    const uint32_t op = word >> 26;
    // Only SPECIAL (0), REGIMM (1), COP0 (0x10) and COP1 (0x11) have sub-tables.
    constexpr uint64_t OPS_WITH_SUB_TABLES = 0x30003;
    if (((OPS_WITH_SUB_TABLES >> op) & 1) == 0) return TABLE_MAIN + op;
    const uint32_t funct = word & 63;
    if (op == 0x00) return TABLE_SPECIAL + funct;
    if (op == 0x01) return TABLE_REGIMM + ((word >> 16) & 31);
    const uint32_t rs = (word >> 21) & 31;
    if (op == 0x10) {
        if (rs == 0x08) return TABLE_BC0 + ((word >> 16) & 3);
        if (rs == 0x10) return TABLE_CO + funct;
        return TABLE_COP0 + rs;
    }
    if (rs == 0x08) return TABLE_BC1 + ((word >> 16) & 3);
    if (rs == 0x10 || rs == 0x11 || rs == 0x14 || rs == 0x15) return TABLE_FPU + funct;
    return TABLE_COP1 + rs;
}

// The table of the machine in force.
inline const InstructionInfo* instructionTableInForce() {
    return completeMachine() ? completeInstructionTable : instructionTable;
}

// The entry of an instruction word in the table of the machine in force.
inline const InstructionInfo& lookupInstruction(uint32_t word) {
    return instructionTableInForce()[instructionIndex(word)];
}

// The families' changes for the complete machine, each writing its entries
// into the table (a copy of the design's) it is given.
void addCompleteIntegerEntries(InstructionInfo* table);
void addCompleteFpuEntries(InstructionInfo* table);
void addCompleteExceptionEntries(InstructionInfo* table);
void addCompleteCop0Entries(InstructionInfo* table);
