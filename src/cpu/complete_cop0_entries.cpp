// The TLB instructions of the complete machine: TLBP searches the table, and
// TLBWR writes the entry that Random names.
#include "cpu/instruction_table.h"
#include "cpu/interpreter/interpreter_internal.h"
#include "cpu/recompiler/translators.h"

void addCompleteCop0Entries(InstructionInfo* table) {
    using namespace interp;
    using enum OperandForm;
    table[TABLE_CO + 0x06] = {"TLBWR", None, 0, interpretTlbwr, translateTlbwr};
    table[TABLE_CO + 0x08] = {"TLBP", None, 0, interpretProbeTlb, translateProbeTlb};
}
