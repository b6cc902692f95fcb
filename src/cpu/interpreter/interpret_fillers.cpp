// The two fillers of the dispatch tables: reserved encodings, which do nothing
// and only count, and instructions that no routine carries out, which report
// themselves and stop the emulation.
#include <initializer_list>

#include "base/log.h"
#include "core/machine.h"
#include "cpu/interpreter/interpreter_internal.h"
#include "debug/disassembler.h"

namespace interp {

namespace {

constexpr InterpretEntry RESERVED{interpretNothing, BlockEffect::None};
constexpr InterpretEntry MISSING{interpretNothing, BlockEffect::Missing};

template <size_t N> void fill(InterpretEntry (&table)[N], const InterpretEntry& entry) {
    for (InterpretEntry& e : table)
        e = entry;
}

template <size_t N>
void markMissing(InterpretEntry (&table)[N], std::initializer_list<unsigned> indexes) {
    for (unsigned i : indexes)
        table[i] = MISSING;
}

} // namespace

void interpretNothing(const Instruction&, BlockRun&) {}

void reportMissingInstruction(uint32_t pc, uint32_t word) {
    char mnemonic[DISASSEMBLY_TEXT_SIZE] = {};
    char operands[DISASSEMBLY_TEXT_SIZE] = {};
    disassembleInstruction(pc, 0, word, mnemonic, operands);
    const uint32_t op = word >> 26;
    const char* group = op == 0x10 ? "COP0" : op == 0x11 ? "COP1" : "CPU";
    showMessage(16, "Instruction %s_%s() @ $%X missing in the recompiler!\nOP=0x%X", group,
                mnemonic, pc, word);
    haltEmulation();
}

void installFillers(InterpretTables& t) {
    // Everything starts reserved; the families install their routines over it.
    fill(t.main, RESERVED);
    fill(t.special, RESERVED);
    fill(t.regimm, RESERVED);
    fill(t.cop0, RESERVED);
    fill(t.bc0, RESERVED);
    fill(t.co, RESERVED);
    fill(t.cop1, RESERVED);
    fill(t.bc1, RESERVED);
    fill(t.fpu, RESERVED);

    // DADDI, DADDIU, LDL, LDR, LWU, SDL, SDR, LL, LLD, LDC2, SC, SCD, SDC2.
    markMissing(t.main,
                {0x18, 0x19, 0x1A, 0x1B, 0x27, 0x2C, 0x2D, 0x30, 0x34, 0x36, 0x38, 0x3C, 0x3E});
    // BREAK, DSLLV, DSRLV, DSRAV, DMULT, DDIV, DADD, DADDU, DSUB, DSUBU, the
    // traps, DSRA.
    markMissing(t.special, {0x0D, 0x14, 0x16, 0x17, 0x1C, 0x1E, 0x2C, 0x2D, 0x2E, 0x2F, 0x30, 0x31,
                            0x32, 0x33, 0x34, 0x36, 0x3B});
    // The immediate traps, BLTZAL, BLTZALL, BGEZALL.
    markMissing(t.regimm, {0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0E, 0x10, 0x12, 0x13});
    // DMFC0, CFC0, DMTC0, CTC0; every BC0 form; TLBWR.
    markMissing(t.cop0, {0x01, 0x02, 0x05, 0x06});
    fill(t.bc0, MISSING);
    markMissing(t.co, {0x06});
    // DMFC1, DMTC1; ROUND.L, TRUNC.L, CEIL.L, FLOOR.L, ROUND.W, CEIL.W,
    // FLOOR.W, CVT.L.
    markMissing(t.cop1, {0x01, 0x05});
    markMissing(t.fpu, {0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0E, 0x0F, 0x25});
}

} // namespace interp
