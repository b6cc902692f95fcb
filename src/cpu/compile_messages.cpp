#include "cpu/compile_messages.h"

#include "base/log.h"
#include "core/machine.h"
#include "cpu/fpu_formats.h"
#include "cpu/instruction_table.h"

namespace {

uint32_t formatOf(uint32_t word) {
    return (word >> 21) & 31;
}

void reportFormat(const char* text) {
    showMessage(0, "%s", text);
    haltEmulation();
}

} // namespace

void reportMissingInstruction(uint32_t pc, uint32_t word) {
    const char* mnemonic = lookupInstruction(word).mnemonic;
    const uint32_t op = word >> 26;
    const char* group = op == 0x10 ? "COP0" : op == 0x11 ? "COP1" : "CPU";
    showMessage(16, "Instruction %s_%s() @ $%X missing in the recompiler!\nOP=0x%X", group,
                mnemonic != nullptr ? mnemonic : "Unknown", pc, word);
    haltEmulation();
}

void reportFpuSqrt(uint32_t word) {
    if (formatOf(word) == FMT_D) reportFormat(FPU_MESSAGE_SQRT_D);
}

void reportFpuCvtS(uint32_t word) {
    if (formatOf(word) == FMT_L) reportFormat(FPU_MESSAGE_CVT_S_L);
}

void reportFpuCvtD(uint32_t word) {
    if (formatOf(word) == FMT_L) reportFormat(FPU_MESSAGE_CVT_D_L);
}

void reportFpuCompare(uint32_t word) {
    const uint32_t format = formatOf(word);
    const uint32_t cond = word & 15;
    if ((format != FMT_S && format != FMT_D) || compareTestBits(cond) != 0) return;
    showMessage(0,
                format == FMT_S ? "COND_%s needed in DynaRec for C.cond.S!"
                                : "COND_%s needed in DynaRec for C.cond.D!",
                compareConditionName(cond));
    haltEmulation();
}
