// System-control coprocessor: moves, the TLB instructions and ERET, with the
// meaning of their translations (COP0 registers are plain words).
#include "core/tlb.h"
#include "cpu/interpreter/interpreter_internal.h"

namespace interp {

namespace {

uint32_t& cop0(uint32_t n) {
    return theCpu.cop0[n & 31];
}

} // namespace

void interpretMfc0(const Instruction& in, BlockRun&) {
    // Only the low word of rt; its high word keeps its value.
    if (in.rt() != 0) theCpu.gpr[in.rt()].lo = cop0(in.rd());
}

void interpretMtc0(const Instruction& in, BlockRun&) {
    cop0(in.rd()) = theCpu.gpr[in.rt()].lo;
}

void interpretTlbwi(const Instruction&, BlockRun&) {
    // The same folding of the four words as the translated TLBWI, then the
    // derived translation; nothing for an Index of 32 or more.
    writeTlbEntry();
}

void interpretTlbr(const Instruction&, BlockRun&) {
    const uint32_t index = cop0(COP0_INDEX);
    if (index >= TLB_ENTRIES) return;
    const TlbEntry& e = tlb[index];
    const uint32_t global = (e.hl >> 12) & 1;
    cop0(COP0_PAGEMASK) = e.hh;
    cop0(COP0_ENTRYHI) = e.hl & ~0x1000u;
    cop0(COP0_ENTRYLO0) = e.ll | global;
    cop0(COP0_ENTRYLO1) = e.lh | global;
}

void interpretTlbp(const Instruction&, BlockRun&) {
    cop0(COP0_INDEX) = 30;
}

void interpretProbeTlb(const Instruction&, BlockRun&) {
    probeTlb();
}

void interpretTlbwr(const Instruction&, BlockRun&) {
    writeTlbEntryRandom();
}

void interpretEret(const Instruction&, BlockRun&) {
    uint32_t status = cop0(COP0_STATUS);
    if (status & 0x4) {
        theCpu.pc = cop0(COP0_ERROREPC);
        status &= ~0x4u;
    } else {
        theCpu.pc = cop0(COP0_EPC);
        status &= ~0x2u;
    }
    cop0(COP0_STATUS) = status;
    cop0(COP0_CAUSE) = signOf(status);
}

} // namespace interp
