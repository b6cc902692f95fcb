// The fpu instructions of the complete machine: the entries that differ from
// the design machine's. Every FPU instruction gets its architectural
// routines; the branches on the condition flag keep the design's. MTC0 ends
// its block, so that a change of Status.FR holds from the next instruction.
#include "cpu/instruction_table.h"

#include "cpu/interpreter/complete_fpu_routines.h"
#include "cpu/recompiler/complete_fpu_translators.h"

namespace {

using namespace interp;
using enum OperandForm;

void put(InstructionInfo* table, unsigned index, const char* mnemonic, OperandForm form,
         InterpretRoutine interpret, TranslateRoutine translate, uint8_t shape = 0) {
    table[index] = {mnemonic, form, shape, interpret, translate, nullptr};
}

} // namespace

void addCompleteFpuEntries(InstructionInfo* table) {
    // Loads and stores; SWC1 keeps the end check of the design's stores.
    put(table, TABLE_MAIN + 0x31, "LWC1", FpuLoadStore, interpretCompleteLwc1,
        translateCompleteLwc1);
    put(table, TABLE_MAIN + 0x35, "LDC1", FpuLoadStore, interpretCompleteLdc1,
        translateCompleteLdc1);
    put(table, TABLE_MAIN + 0x39, "SWC1", FpuLoadStore, interpretCompleteSwc1,
        translateCompleteSwc1, SHAPE_END_CHECK);
    put(table, TABLE_MAIN + 0x3D, "SDC1", FpuLoadStore, interpretCompleteSdc1,
        translateCompleteSdc1);

    InstructionInfo& mtc0 = table[TABLE_COP0 + 0x04];
    mtc0.shape |= SHAPE_ENDS_BLOCK;
    mtc0.interpret = interpretCompleteMtc0;
    mtc0.translate = translateCompleteMtc0;
    // DMTC0 writes the same 32-bit registers, so a change of Status.FR made
    // by it also takes effect from the next instruction.
    InstructionInfo& dmtc0 = table[TABLE_COP0 + 0x05];
    dmtc0 = mtc0;
    dmtc0.mnemonic = "DMTC0";

    put(table, TABLE_COP1 + 0x00, "MFC1", Cop1Move, interpretCompleteMfc1, translateCompleteMfc1);
    put(table, TABLE_COP1 + 0x01, "DMFC1", Cop1Move, interpretCompleteDmfc1,
        translateCompleteDmfc1);
    put(table, TABLE_COP1 + 0x02, "CFC1", Cop1Control, interpretCompleteCfc1,
        translateCompleteCfc1);
    put(table, TABLE_COP1 + 0x04, "MTC1", Cop1Move, interpretCompleteMtc1, translateCompleteMtc1);
    put(table, TABLE_COP1 + 0x05, "DMTC1", Cop1Move, interpretCompleteDmtc1,
        translateCompleteDmtc1);
    put(table, TABLE_COP1 + 0x06, "CTC1", Cop1Control, interpretCompleteCtc1,
        translateCompleteCtc1);

    struct Arithmetic {
        unsigned funct;
        const char* mnemonic;
        OperandForm form;
        InterpretRoutine interpret;
        TranslateRoutine translate;
    };
    static const Arithmetic arithmetic[] = {
        {0x00, "ADD", Fpu3, interpretCompleteFpuAdd, translateCompleteFpuAdd},
        {0x01, "SUB", Fpu3, interpretCompleteFpuSub, translateCompleteFpuSub},
        {0x02, "MUL", Fpu3, interpretCompleteFpuMul, translateCompleteFpuMul},
        {0x03, "DIV", Fpu3, interpretCompleteFpuDiv, translateCompleteFpuDiv},
        {0x04, "SQRT", Fpu2, interpretCompleteFpuSqrt, translateCompleteFpuSqrt},
        {0x05, "ABS", Fpu2, interpretCompleteFpuAbs, translateCompleteFpuAbs},
        {0x06, "MOV", Fpu2, interpretCompleteFpuMov, translateCompleteFpuMov},
        {0x07, "NEG", Fpu2, interpretCompleteFpuNeg, translateCompleteFpuNeg},
        {0x08, "ROUND.L", Fpu2, interpretCompleteFpuRoundL, translateCompleteFpuRoundL},
        {0x09, "TRUNC.L", Fpu2, interpretCompleteFpuTruncL, translateCompleteFpuTruncL},
        {0x0A, "CEIL.L", Fpu2, interpretCompleteFpuCeilL, translateCompleteFpuCeilL},
        {0x0B, "FLOOR.L", Fpu2, interpretCompleteFpuFloorL, translateCompleteFpuFloorL},
        {0x0C, "ROUND.W", Fpu2, interpretCompleteFpuRoundW, translateCompleteFpuRoundW},
        {0x0D, "TRUNC.W", Fpu2, interpretCompleteFpuTruncW, translateCompleteFpuTruncW},
        {0x0E, "CEIL.W", Fpu2, interpretCompleteFpuCeilW, translateCompleteFpuCeilW},
        {0x0F, "FLOOR.W", Fpu2, interpretCompleteFpuFloorW, translateCompleteFpuFloorW},
        {0x20, "CVT.S", Fpu2, interpretCompleteFpuCvtS, translateCompleteFpuCvtS},
        {0x21, "CVT.D", Fpu2, interpretCompleteFpuCvtD, translateCompleteFpuCvtD},
        {0x24, "CVT.W", Fpu2, interpretCompleteFpuCvtW, translateCompleteFpuCvtW},
        {0x25, "CVT.L", Fpu2, interpretCompleteFpuCvtL, translateCompleteFpuCvtL},
    };
    for (const Arithmetic& a : arithmetic)
        put(table, TABLE_FPU + a.funct, a.mnemonic, a.form, a.interpret, a.translate);

    // C.cond keeps the design's mnemonics (and operand text); every condition
    // is carried out, so nothing is reported.
    for (unsigned funct = 0x30; funct < 0x40; ++funct) {
        InstructionInfo& compare = table[TABLE_FPU + funct];
        compare.shape = 0;
        compare.report = nullptr;
        compare.interpret = interpretCompleteFpuCompare;
        compare.translate = translateCompleteFpuCompare;
    }
}
