// The two fillers of the dispatch tables' empty places.
#include "base/log.h"
#include "core/machine.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/translators.h"
#include "debug/disassembler.h"

// Reserved and unimplemented-but-harmless encodings: no code, no message; the
// instruction still counts in its block.
void translateReserved() {}

// An instruction the translator cannot handle: report it, end the block after
// it and halt the emulation once the block has run.
void translateMissing() {
    CompileState& cs = compileState;
    char mnemonic[DISASSEMBLY_TEXT_SIZE] = {};
    char operands[DISASSEMBLY_TEXT_SIZE] = {};
    disassembleInstruction(cs.compilePc, 0, cs.instr, mnemonic, operands);
    const char* group = cs.op == 0x10 ? "COP0" : cs.op == 0x11 ? "COP1" : "CPU";
    showMessage(16, "Instruction %s_%s() @ $%X missing in the recompiler!\nOP=0x%X", group,
                mnemonic, cs.compilePc, cs.instr);
    cs.countdown = 0;
    haltEmulation();
}
