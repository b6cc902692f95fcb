#include "core/tlb.h"

#include <cstring>
#include <type_traits>

#include "base/log.h"
#include "base/state_stream.h"
#include "core/cpu_state.h"

TlbEntry tlb[TLB_ENTRIES];

namespace {

void logTranslation(const TlbEntry& e) {
    logLine(
        "TLB address translation gives:\n\t   VSTART=0x%08X\n\t     VEND=0x%08X\n\tPHYSSTART=0x%08X"
        "\n\t    VALID=%i",
        e.VSTART, e.VEND, e.PHYSSTART, int(e.VALID));
}

} // namespace

bool tlbTranslate(uint32_t vaddr, uint32_t& physical) {
    bool found = false;
    for (const TlbEntry& e : tlb) {
        if (e.VALID && e.VSTART <= vaddr && vaddr < e.VEND) {
            physical = e.PHYSSTART | (vaddr & 0x000FFFFF);
            found = true;
        }
    }
    return found;
}

void writeTlbEntry() {
    const uint32_t index = theCpu.cop0[COP0_INDEX];
    if (index >= TLB_ENTRIES) return;
    const uint32_t pageMask = theCpu.cop0[COP0_PAGEMASK];
    const uint32_t lo0 = theCpu.cop0[COP0_ENTRYLO0];
    const uint32_t lo1 = theCpu.cop0[COP0_ENTRYLO1];
    TlbEntry& e = tlb[index];
    e.hh = pageMask;
    e.hl = (theCpu.cop0[COP0_ENTRYHI] & ~pageMask & 0xFFFFE0FF) | (((lo0 & lo1) & 1) << 12);
    e.lh = lo1 & 0xFFFFFFFE;
    e.ll = lo0 & 0xFFFFFFFE;
    tlbWriteIndexed();
}

void probeTlb() {
    const uint32_t entryHi = theCpu.cop0[COP0_ENTRYHI];
    for (unsigned i = 0; i < TLB_ENTRIES; ++i) {
        const TlbEntry& e = tlb[i];
        const uint32_t differs = e.hl ^ entryHi;
        const bool global = ((e.hl >> 12) & 1) != 0;
        if ((differs & ~e.hh & 0xFFFFE000) == 0 && (global || (differs & 0xFF) == 0)) {
            theCpu.cop0[COP0_INDEX] = i;
            return;
        }
    }
    theCpu.cop0[COP0_INDEX] = 0x80000000u;
}

void writeTlbEntryRandom() {
    const uint32_t index = theCpu.cop0[COP0_INDEX];
    const uint32_t random = theCpu.cop0[COP0_RANDOM] & (TLB_ENTRIES - 1);
    theCpu.cop0[COP0_INDEX] = random;
    writeTlbEntry();
    theCpu.cop0[COP0_INDEX] = index;
    const uint32_t wired = theCpu.cop0[COP0_WIRED] & (TLB_ENTRIES - 1);
    theCpu.cop0[COP0_RANDOM] = random <= wired ? TLB_ENTRIES - 1 : random - 1;
}

void tlbWriteIndexed() {
    const uint32_t index = theCpu.cop0[COP0_INDEX] & (TLB_ENTRIES - 1);
    TlbEntry& e = tlb[index];
    e.VSTART = e.hl & 0xFFFFE000;
    e.VEND = e.VSTART + ((e.hh & 0x01FFE000) | 0x1FFF) + 1;
    e.PHYSSTART = (e.ll & 0xFFFFFFC0) << 6;
    e.VALID = (e.ll >> 1) & 1;
    dumpTlbEntry("TLB_WI", index);
}

void dumpTlbEntry(const char* label, unsigned index) {
    const TlbEntry& e = tlb[index % TLB_ENTRIES];
    logLine("%s reg status:\n\tPageMask=0x%08X\n\t "
            "EntryHi=0x%08X\n\tEntryLo1=0x%08X\n\tEntryLo0=0x%08X",
            label, theCpu.cop0[COP0_PAGEMASK], theCpu.cop0[COP0_ENTRYHI],
            theCpu.cop0[COP0_ENTRYLO1], theCpu.cop0[COP0_ENTRYLO0]);
    logLine("TLB Entry %i:\n\thh: %08X\n\thl: %08X\n\tlh: %08X\n\tll: %08X",
            int(index % TLB_ENTRIES), e.hh, e.hl, e.lh, e.ll);
    logTranslation(e);
}

void dumpTlb() {
    logLineWithPc("TLB dump:");
    for (unsigned i = 0; i < TLB_ENTRIES; ++i) {
        const TlbEntry& e = tlb[i];
        if (!e.VALID) continue;
        logLine("#%i:\nhh: 0x%08X\nhl: 0x%08X\nlh: 0x%08X\nll: 0x%08X", int(i), e.hh, e.hl, e.lh,
                e.ll);
        logTranslation(e);
    }
}

static_assert(std::is_trivially_copyable_v<TlbEntry>);

void writeTlbState(StateWriter& out) {
    out.beginPart("TLB ");
    out.putRecord(tlb);
    out.endPart();
}

bool readTlbState(StateReader& in) {
    TlbEntry entries[TLB_ENTRIES];
    in.beginPart("TLB ");
    in.getRecord(entries);
    if (!in.endPart()) return false;
    if (in.applying()) std::memcpy(tlb, entries, sizeof tlb);
    return true;
}
