// The integer instructions of the complete machine: the entries that differ from
// the design machine's.
#include "cpu/instruction_table.h"

void addCompleteIntegerEntries(InstructionInfo* /*table*/) {}
