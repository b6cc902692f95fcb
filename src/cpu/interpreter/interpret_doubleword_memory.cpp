// The complete machine's loads and stores beyond the design's: LWU, the
// unaligned doubleword merges, LL/SC and their doubleword forms, and LWR on
// the whole register. The address is the low word of the base register plus
// the sign-extended offset, as for every access.
#include "core/load_linked.h"
#include "core/memory_map.h"
#include "cpu/interpreter/interpret_doubleword.h"
#include "cpu/recompiler/native_doubleword.h"

namespace interp {

namespace {

uint32_t address(const Instruction& in) {
    return theCpu.gpr[in.rs()].lo + in.simm();
}

} // namespace

void interpretLwu(const Instruction& in, BlockRun&) {
    setGprWords(in.rt(), hostRead32(memRead(address(in))), 0);
}
void interpretLwrWide(const Instruction& in, BlockRun&) {
    loadWordRightWide(in.rt(), address(in));
}
void interpretLdl(const Instruction& in, BlockRun&) {
    loadDoublewordLeft(in.rt(), address(in));
}
void interpretLdr(const Instruction& in, BlockRun&) {
    loadDoublewordRight(in.rt(), address(in));
}
void interpretSdl(const Instruction& in, BlockRun&) {
    storeDoublewordLeft(in.rt(), address(in));
}
void interpretSdr(const Instruction& in, BlockRun&) {
    storeDoublewordRight(in.rt(), address(in));
}
void interpretLl(const Instruction& in, BlockRun&) {
    loadLinkedWord(in.rt(), address(in));
}
void interpretLld(const Instruction& in, BlockRun&) {
    loadLinkedDoubleword(in.rt(), address(in));
}
void interpretSc(const Instruction& in, BlockRun&) {
    storeConditionalWord(in.rt(), address(in));
}
void interpretScd(const Instruction& in, BlockRun&) {
    storeConditionalDoubleword(in.rt(), address(in));
}

void interpretEretClearingLink(const Instruction& in, BlockRun& run) {
    loadLinkedBit = 0;
    interpretEret(in, run);
}

} // namespace interp
