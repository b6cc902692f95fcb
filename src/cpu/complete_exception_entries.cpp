// The exception instructions of the complete machine: the entries that differ from
// the design machine's. SYSCALL, BREAK and the traps enter the guest's exception
// handler; ADD, ADDI, SUB, DADD, DADDI and DSUB do so on a signed overflow.
#include "cpu/instruction_table.h"
#include "cpu/interpreter/interpreter_internal.h"
#include "cpu/recompiler/translators.h"

void addCompleteExceptionEntries(InstructionInfo* table) {
    using namespace interp;
    using enum OperandForm;
    const InstructionInfo trap{nullptr, MulDiv, 0, interpretTrap, translateTrap};
    const InstructionInfo trapImmediate{nullptr, None, 0, interpretTrap, translateTrap};
    const auto named = [](InstructionInfo info, const char* mnemonic) {
        info.mnemonic = mnemonic;
        return info;
    };

    table[TABLE_MAIN + 0x08] = {"ADDI", Immediate, 0, interpretAddiChecked, translateAddiChecked};
    table[TABLE_MAIN + 0x18] = {"DADDI", Immediate, 0, interpretDoublewordChecked,
                                translateDoublewordChecked};

    table[TABLE_SPECIAL + 0x0C] = {"SYSCALL", None, 0, interpretSyscall, translateSyscall};
    table[TABLE_SPECIAL + 0x0D] = {"BREAK", None, 0, interpretBreak, translateBreak};
    table[TABLE_SPECIAL + 0x20] = {"ADD", ThreeReg, 0, interpretAddChecked, translateAddChecked};
    table[TABLE_SPECIAL + 0x22] = {"SUB", ThreeReg, 0, interpretSubChecked, translateSubChecked};
    table[TABLE_SPECIAL + 0x2C] = {"DADD", ThreeReg, 0, interpretDoublewordChecked,
                                   translateDoublewordChecked};
    table[TABLE_SPECIAL + 0x2E] = {"DSUB", ThreeReg, 0, interpretDoublewordChecked,
                                   translateDoublewordChecked};
    table[TABLE_SPECIAL + 0x30] = named(trap, "TGE");
    table[TABLE_SPECIAL + 0x31] = named(trap, "TGEU");
    table[TABLE_SPECIAL + 0x32] = named(trap, "TLT");
    table[TABLE_SPECIAL + 0x33] = named(trap, "TLTU");
    table[TABLE_SPECIAL + 0x34] = named(trap, "TEQ");
    table[TABLE_SPECIAL + 0x36] = named(trap, "TNE");

    table[TABLE_REGIMM + 0x08] = named(trapImmediate, "TGEI");
    table[TABLE_REGIMM + 0x09] = named(trapImmediate, "TGEIU");
    table[TABLE_REGIMM + 0x0A] = named(trapImmediate, "TLTI");
    table[TABLE_REGIMM + 0x0B] = named(trapImmediate, "TLTIU");
    table[TABLE_REGIMM + 0x0C] = named(trapImmediate, "TEQI");
    table[TABLE_REGIMM + 0x0E] = named(trapImmediate, "TNEI");
}
