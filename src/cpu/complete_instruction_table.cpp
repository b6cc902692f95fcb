// The complete machine's instruction table: a copy of the design's table with
// the changed entries of each instruction family written over it.
#include <algorithm>
#include <iterator>

#include "cpu/guest_exceptions.h"
#include "cpu/instruction_table.h"
#include "cpu/interpreter/complete_fpu_routines.h"
#include "cpu/interpreter/interpret_doubleword.h"
#include "cpu/interpreter/interpreter_internal.h"
#include "cpu/recompiler/translators.h"

InstructionInfo completeInstructionTable[INSTRUCTION_TABLE_SIZE];

namespace {

// The sub-tables of the integer unit and of COP0, whose encodings that no
// family carries out (reserved words, CFC0, CTC0, BC0, the COP2 loads and
// stores) raise the reserved-instruction exception. The FPU's own tables keep
// their entries: the FPU flags what it does not implement in FCR31.
void raiseReservedInstructions(InstructionInfo* table) {
    const struct {
        unsigned first, count;
    } ranges[] = {{TABLE_MAIN, 64}, {TABLE_SPECIAL, 64}, {TABLE_REGIMM, 32},
                  {TABLE_COP0, 32}, {TABLE_BC0, 4},      {TABLE_CO, 64}};
    for (const auto& range : ranges) {
        for (unsigned i = range.first; i < range.first + range.count; ++i) {
            InstructionInfo& entry = table[i];
            if (entry.mnemonic != nullptr && (entry.shape & SHAPE_MISSING) == 0) continue;
            entry.shape = 0;
            entry.interpret = interp::interpretReservedInstruction;
            entry.translate = translateReservedInstruction;
            entry.report = nullptr;
        }
    }
}

// Loads and stores that need an aligned address check it first in the
// interpreter (the translators check it where they form the address). The
// routines the table holds call theirs directly with their mask as a
// constant; any other is found by opcode.
struct AlignedRoutine {
    InterpretRoutine plain, checked;
    uint32_t mask;
};
template <InterpretRoutine plain, uint32_t mask> constexpr AlignedRoutine aligned() {
    return {plain, interp::interpretAligned<plain, mask>, mask};
}

void checkAccessAlignment(InstructionInfo* table) {
    using namespace interp;
    const AlignedRoutine direct[] = {
        aligned<interpretLh, 1>(),           aligned<interpretLhu, 1>(),
        aligned<interpretLw, 3>(),           aligned<interpretLwu, 3>(),
        aligned<interpretLd, 7>(),           aligned<interpretSh, 1>(),
        aligned<interpretSw, 3>(),           aligned<interpretSd, 7>(),
        aligned<interpretLl, 3>(),           aligned<interpretLld, 7>(),
        aligned<interpretSc, 3>(),           aligned<interpretScd, 7>(),
        aligned<interpretCompleteLwc1, 3>(), aligned<interpretCompleteLdc1, 7>(),
        aligned<interpretCompleteSwc1, 3>(), aligned<interpretCompleteSdc1, 7>(),
    };
    for (uint32_t op = 0; op < 64; ++op) {
        const uint32_t mask = accessAlignmentMask(op << 26);
        if (mask == 0) continue;
        InterpretRoutine& routine = table[TABLE_MAIN + op].interpret;
        alignedAccessRoutines[op] = routine;
        const auto found = std::find_if(std::begin(direct), std::end(direct), [&](const auto& d) {
            return d.plain == routine && d.mask == mask;
        });
        routine = found != std::end(direct) ? found->checked : interpretAlignedAccess;
    }
}

bool buildCompleteInstructionTable() {
    std::copy(std::begin(instructionTable), std::end(instructionTable), completeInstructionTable);
    addCompleteIntegerEntries(completeInstructionTable);
    addCompleteFpuEntries(completeInstructionTable);
    addCompleteExceptionEntries(completeInstructionTable);
    addCompleteCop0Entries(completeInstructionTable);
    raiseReservedInstructions(completeInstructionTable);
    checkAccessAlignment(completeInstructionTable);
    return true;
}

// The design table is constant-initialised, so it is complete when this runs.
const bool completeTableBuilt = buildCompleteInstructionTable();

} // namespace
