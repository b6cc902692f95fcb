// Address translation and TLB set-up of the guest library.
#include "base/log.h"
#include "core/tlb.h"
#include "hle/hle_guest.h"
#include "hle/hle_routines.h"

using namespace hle;

namespace {

constexpr uint64_t ALL_ONES = ~uint64_t(0);

// Physical address of `address` as the guest sees it: KSEG0/KSEG1 by mask,
// otherwise the last valid TLB entry covering it; false when none does.
bool guestPhysical(uint32_t address, uint32_t& physical) {
    if (address - 0x80000000u < 0x40000000u) {
        physical = address & 0x1FFFFFFF;
        return true;
    }
    return tlbTranslate(address, physical);
}

// A word argument the guest passes on its stack, read through its physical
// address as the guest routine does, sign-extended.
uint64_t stackArgument(unsigned offset) {
    return signExtend(loadWord((lowWord(SP) + offset) & 0x1FFFFFFF));
}

} // namespace

// v0 = the physical address of a0; v0 is kept when no TLB entry maps a0.
void hleOsVirtualToPhysical() {
    uint32_t physical;
    if (guestPhysical(lowWord(A0), physical)) setZeroExtended(V0, physical);
}

// Writes TLB entry a0 with page mask a1 for the virtual page pair at a2, the
// even page at physical a3 and the odd page at the physical address in the
// word at sp+16 (-1: invalid), address-space id in the word at sp+20 (-1:
// global). The scratch registers end as the guest routine leaves them.
void hleOsMapTlb() {
    uint32_t* cop0 = theCpu.cop0;
    logLine("start of osMapTLB();");
    reg(T0).set(signExtend(cop0[COP0_ENTRYHI]));
    cop0[COP0_INDEX] = lowWord(A0);
    cop0[COP0_PAGEMASK] = lowWord(A1);

    const uint64_t asid = stackArgument(20);
    reg(T1).set(asid);
    reg(T4).set(1);
    uint64_t pageFlags; // cache mode, dirty, valid, and global for asid -1
    if (asid == ALL_ONES) {
        pageFlags = 0x1F;
    } else {
        pageFlags = 0x1E;
        reg(A2).set(reg(A2).value() | asid);
    }
    reg(T2).set(pageFlags);
    cop0[COP0_ENTRYHI] = lowWord(A2);
    reg(AT).set(ALL_ONES);

    const uint64_t evenPage = reg(A3).value();
    if (evenPage != ALL_ONES) {
        const uint64_t t3 = (evenPage >> 6) | pageFlags;
        reg(T3).set(t3);
        cop0[COP0_ENTRYLO0] = uint32_t(t3);
    } else {
        cop0[COP0_ENTRYLO0] = 1;
    }

    uint64_t oddPage = stackArgument(16);
    reg(T3).set(oddPage);
    reg(AT).set(ALL_ONES);
    if (oddPage != ALL_ONES) {
        oddPage = (oddPage >> 6) | pageFlags;
        reg(T3).set(oddPage);
        cop0[COP0_ENTRYLO1] = uint32_t(oddPage);
    } else {
        cop0[COP0_ENTRYLO1] = lowWord(T4);
        reg(AT).set(ALL_ONES);
        if (evenPage == ALL_ONES) {
            reg(T3).set(0xFFFFFFFF80000000ull);
            cop0[COP0_ENTRYHI] = 0x80000000;
        }
    }

    writeTlbEntry();
    cop0[COP0_ENTRYHI] = lowWord(T0);
    logLine("end of osMapTLB();");
}

// Invalidates entries 31 down to 1, leaving entry 0 alone. No dump is logged.
void hleOsUnmapTlbAll() {
    uint32_t* cop0 = theCpu.cop0;
    cop0[COP0_ENTRYHI] = 0x80000000;
    cop0[COP0_ENTRYLO0] = 0;
    cop0[COP0_ENTRYLO1] = 0;
    for (unsigned i = TLB_ENTRIES - 1; i >= 1; --i) {
        cop0[COP0_INDEX] = i;
        tlb[i] = TlbEntry{};
        tlb[i].hl = 0x80000000;
    }
}

// Maps the debugger's page pair at 0xC0000000 through entry 31, with the
// values the indexed TLB write derives from the COP0 registers it sets. Nothing
// is logged and v0 is left alone.
void hleOsMapTlbRdb() {
    uint32_t* cop0 = theCpu.cop0;
    cop0[COP0_INDEX] = 31;
    cop0[COP0_PAGEMASK] = 0;
    cop0[COP0_ENTRYHI] = 0xC0000000;
    cop0[COP0_ENTRYLO0] = 0x02000017;
    cop0[COP0_ENTRYLO1] = 1;
    TlbEntry& e = tlb[31];
    e.hh = 0;
    e.hl = 0xC0001000;
    e.lh = 0;
    e.ll = 0x02000016;
    e.VSTART = 0xC0000000;
    e.VEND = 0xC0002000;
    e.PHYSSTART = 0x80000000;
    e.VALID = 1;
}
