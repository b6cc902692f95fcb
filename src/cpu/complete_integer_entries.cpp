// The integer instructions of the complete machine: the entries that differ
// from the design machine's. Registers are 64 bits throughout: branches
// compare whole registers, XOR and XORI keep the high words, SRA and SRAV
// shift the whole register, DMULTU gives its full 128-bit product, MFC0
// sign-extends; the doubleword arithmetic, shifts, multiplications and
// divisions, LWU, LDL/LDR/SDL/SDR and LL/SC/LLD/SCD are added, and ERET
// clears LLbit.
//
// ADD, ADDI and SUB keep the design's results (no overflow trap); DADD,
// DADDI and DSUB get those of DADDU, DADDIU and DSUBU here. The exception
// family's entries are written after these, so its trapping forms of the six
// take their places.
#include "cpu/instruction_table.h"

#include "cpu/interpreter/interpret_doubleword.h"
#include "cpu/recompiler/translate_doubleword.h"
#include "cpu/recompiler/translators.h"

namespace {

using namespace interp;
using enum OperandForm;

constexpr uint8_t BRANCH = SHAPE_DELAY_SLOT;
constexpr uint8_t LIKELY_BRANCH = SHAPE_DELAY_SLOT | SHAPE_LIKELY;

struct Entry {
    unsigned index;
    InstructionInfo info;
};

// clang-format off
const Entry entries[] = {
    {TABLE_MAIN + 0x04, {"BEQ", Branch2, BRANCH, interpretBeqWide, translateBeqWide}},
    {TABLE_MAIN + 0x05, {"BNE", Branch2, BRANCH, interpretBneWide, translateBneWide}},
    {TABLE_MAIN + 0x06, {"BLEZ", Branch1, BRANCH, interpretBlezWide, translateBlezWide}},
    {TABLE_MAIN + 0x07, {"BGTZ", Branch1, BRANCH, interpretBgtzWide, translateBgtzWide}},
    {TABLE_MAIN + 0x0E, {"XORI", Immediate, 0, interpretXoriWide, translateXoriWide}},
    {TABLE_MAIN + 0x14, {"BEQL", Branch2, LIKELY_BRANCH, interpretBeqlWide, translateBeqlWide}},
    {TABLE_MAIN + 0x15, {"BNEL", Branch2, LIKELY_BRANCH, interpretBnelWide, translateBnelWide}},
    {TABLE_MAIN + 0x16, {"BLEZL", Branch1, LIKELY_BRANCH, interpretBlezlWide, translateBlezlWide}},
    {TABLE_MAIN + 0x17, {"BGTZL", Branch1, LIKELY_BRANCH, interpretBgtzlWide, translateBgtzlWide}},
    {TABLE_MAIN + 0x18, {"DADDI", Immediate, 0, interpretDaddi, translateDaddi}},
    {TABLE_MAIN + 0x19, {"DADDIU", Immediate, 0, interpretDaddi, translateDaddi}},
    {TABLE_MAIN + 0x1A, {"LDL", LoadStore, 0, interpretLdl, translateLdl}},
    {TABLE_MAIN + 0x1B, {"LDR", LoadStore, 0, interpretLdr, translateLdr}},
    {TABLE_MAIN + 0x26, {"LWR", LoadStore, 0, interpretLwrWide, translateLwrWide}},
    {TABLE_MAIN + 0x27, {"LWU", LoadStore, 0, interpretLwu, translateLwu}},
    // Every new store may reach a hardware register, so each requests the
    // end check (unless based on the stack pointer, like the others).
    {TABLE_MAIN + 0x2C, {"SDL", LoadStore, SHAPE_END_CHECK, interpretSdl, translateSdl}},
    {TABLE_MAIN + 0x2D, {"SDR", LoadStore, SHAPE_END_CHECK, interpretSdr, translateSdr}},
    {TABLE_MAIN + 0x30, {"LL", LoadStore, 0, interpretLl, translateLl}},
    {TABLE_MAIN + 0x34, {"LLD", LoadStore, 0, interpretLld, translateLld}},
    {TABLE_MAIN + 0x38, {"SC", LoadStore, SHAPE_END_CHECK, interpretSc, translateSc}},
    {TABLE_MAIN + 0x3C, {"SCD", LoadStore, SHAPE_END_CHECK, interpretScd, translateScd}},

    {TABLE_SPECIAL + 0x03, {"SRA", Shift, 0, interpretSraWide, translateSraWide}},
    {TABLE_SPECIAL + 0x07, {"SRAV", VarShift, 0, interpretSravWide, translateSravWide}},
    {TABLE_SPECIAL + 0x14, {"DSLLV", VarShift, 0, interpretDsllv, translateDsllv}},
    {TABLE_SPECIAL + 0x16, {"DSRLV", VarShift, 0, interpretDsrlv, translateDsrlv}},
    {TABLE_SPECIAL + 0x17, {"DSRAV", VarShift, 0, interpretDsrav, translateDsrav}},
    {TABLE_SPECIAL + 0x1C, {"DMULT", MulDiv, 0, interpretDmult, translateDmult}},
    {TABLE_SPECIAL + 0x1D, {"DMULTU", MulDiv, 0, interpretDmultuWide, translateDmultuWide}},
    {TABLE_SPECIAL + 0x1E, {"DDIV", MulDiv, 0, interpretDdiv, translateDdiv}},
    {TABLE_SPECIAL + 0x26, {"XOR", ThreeReg, 0, interpretXorWide, translateXorWide}},
    {TABLE_SPECIAL + 0x2C, {"DADD", ThreeReg, 0, interpretDadd, translateDadd}},
    {TABLE_SPECIAL + 0x2D, {"DADDU", ThreeReg, 0, interpretDadd, translateDadd}},
    {TABLE_SPECIAL + 0x2E, {"DSUB", ThreeReg, 0, interpretDsub, translateDsub}},
    {TABLE_SPECIAL + 0x2F, {"DSUBU", ThreeReg, 0, interpretDsub, translateDsub}},
    {TABLE_SPECIAL + 0x3B, {"DSRA", Shift, 0, interpretDsra, translateDsra}},

    {TABLE_REGIMM + 0x00, {"BLTZ", Branch1, BRANCH, interpretBltzWide, translateBltzWide}},
    {TABLE_REGIMM + 0x01, {"BGEZ", Branch1, BRANCH, interpretBgezWide, translateBgezWide}},
    {TABLE_REGIMM + 0x02, {"BLTZL", Branch1, LIKELY_BRANCH, interpretBltzlWide, translateBltzlWide}},
    {TABLE_REGIMM + 0x03, {"BGEZL", Branch1, LIKELY_BRANCH, interpretBgezlWide, translateBgezlWide}},
    {TABLE_REGIMM + 0x10, {"BLTZAL", Branch1, BRANCH, interpretBltzal, translateBltzal}},
    {TABLE_REGIMM + 0x11, {"BGEZAL", Branch1, BRANCH, interpretBgezalWide, translateBgezalWide}},
    {TABLE_REGIMM + 0x12, {"BLTZALL", Branch1, LIKELY_BRANCH, interpretBltzall, translateBltzall}},
    {TABLE_REGIMM + 0x13, {"BGEZALL", Branch1, LIKELY_BRANCH, interpretBgezall, translateBgezall}},

    {TABLE_COP0 + 0x00, {"MFC0", Cop0Move, 0, interpretMfc0Wide, translateMfc0Wide}},
    {TABLE_COP0 + 0x01, {"DMFC0", Cop0Move, 0, interpretMfc0Wide, translateMfc0Wide}},
    {TABLE_COP0 + 0x05, {"DMTC0", Cop0Move, 0, interpretMtc0, translateMtc0}},
    // ERET has no delay slot and ends its block.
    {TABLE_CO + 0x18, {"ERET", None, SHAPE_ENDS_BLOCK, interpretEretClearingLink,
                       translateEretClearingLink}},
};
// clang-format on

} // namespace

void addCompleteIntegerEntries(InstructionInfo* table) {
    for (const Entry& e : entries)
        table[e.index] = e.info;
}
