// The complete machine's instruction table: a copy of the design's table with
// the changed entries of each instruction family written over it.
#include <algorithm>
#include <iterator>

#include "cpu/instruction_table.h"

InstructionInfo completeInstructionTable[INSTRUCTION_TABLE_SIZE];

namespace {

bool buildCompleteInstructionTable() {
    std::copy(std::begin(instructionTable), std::end(instructionTable), completeInstructionTable);
    addCompleteIntegerEntries(completeInstructionTable);
    addCompleteFpuEntries(completeInstructionTable);
    addCompleteExceptionEntries(completeInstructionTable);
    addCompleteCop0Entries(completeInstructionTable);
    return true;
}

// The design table is constant-initialised, so it is complete when this runs.
const bool completeTableBuilt = buildCompleteInstructionTable();

} // namespace
