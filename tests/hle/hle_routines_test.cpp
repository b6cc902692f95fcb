// Native replacements of guest library routines: their effects on registers,
// COP0, the TLB and guest memory.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>

#include "base/log.h"
#include "core/cpu_state.h"
#include "core/hw_registers.h"
#include "core/machine.h"
#include "core/memory.h"
#include "core/memory_map.h"
#include "core/tlb.h"
#include "hle/hle_routines.h"
#include "hle/hle_table.h"
#include "support/test_machine.h"

namespace {

enum : unsigned { AT = 1, V0 = 2, V1 = 3, A0 = 4, A1, A2, A3, T0 = 8, T1, T2, T3, T4 };
enum : unsigned { T6 = 14, T7 = 15, T8 = 24, SP = 29, RA = 31 };

GuestWord64& gpr(unsigned r) {
    return theCpu.gpr[r];
}
uint64_t value(unsigned r) {
    return theCpu.gpr[r].value();
}

// A 64-bit argument passed high word first; the registers' high words carry
// garbage that the routines must ignore.
void setPair(unsigned high, unsigned low, uint64_t v) {
    gpr(high).set(0xBAD0000000000000ull | (v >> 32));
    gpr(low).set(0xBAD0000000000000ull | (v & 0xFFFFFFFF));
}

float fpr(unsigned i) {
    return std::bit_cast<float>(theCpu.fpr[i]);
}
void setFpr(unsigned i, float f) {
    theCpu.fpr[i] = std::bit_cast<uint32_t>(f);
}

uint32_t loadGuestWord(uint32_t vaddr) {
    uint32_t v;
    std::memcpy(&v, memRead(vaddr), sizeof v);
    return v;
}
void storeGuestWord(uint32_t vaddr, uint32_t v) {
    std::memcpy(memWrite(vaddr), &v, sizeof v);
}

class HleRoutines : public ::testing::Test {
  protected:
    void SetUp() override { resetBareMachine(); }
    void TearDown() override { closeLog(); }

    void openTestLog() { openLog(makeTempDir("hle-log").c_str(), "routines"); }
};

TEST_F(HleRoutines, EveryNamedRoutineHasAHandlerAndLeavesTheReturnAddressAlone) {
    std::istringstream names(
        "__osSetSR __osSetFpcCsr __osSpRawReadIo __osSpRawWriteIo __osDisableInt __osRestoreInt "
        "__osEepStatus osVirtualToPhysical osMapTLB osUnmapTLBAll osMapTLBRdb osSpTaskStartGo "
        "osWritebackDCache osInvalICache osPiRawReadIo sqrtf __sinf __cosf __ull_div __ull_rem "
        "__ll_div __ll_mul");
    for (std::string name; names >> name;) {
        SCOPED_TRACE(name);
        const HleHandler handler = hleHandlerForName(name.c_str());
        ASSERT_NE(handler, nullptr);
        gpr(SP).set(0xFFFFFFFF801FFF00ull);
        gpr(A0).set(0x0000000080000100ull);
        gpr(A1).set(0x0000000080000200ull);
        gpr(RA).set(0x1122334455667788ull);
        handler();
        EXPECT_EQ(value(RA), 0x1122334455667788ull);
        EXPECT_FALSE(isEmulationHalted());
    }
    EXPECT_EQ(hleHandlerForName("SQRTF"), nullptr);
    EXPECT_EQ(hleHandlerForName("sqrtf2"), nullptr);
    EXPECT_EQ(hleHandlerForName(""), nullptr);
}

TEST_F(HleRoutines, InterruptMaskingAndStatus) {
    theCpu.cop0[COP0_STATUS] = 0x34000001;
    gpr(V0).set(~0ull);
    hleOsDisableInt();
    EXPECT_EQ(value(V0), 1u);
    EXPECT_EQ(theCpu.cop0[COP0_STATUS], 0x34000000u);
    hleOsDisableInt(); // already masked
    EXPECT_EQ(value(V0), 0u);
    gpr(A0).set(0xFFFFFFFF00000001ull);
    hleOsRestoreInt();
    EXPECT_EQ(theCpu.cop0[COP0_STATUS], 0x34000001u);

    gpr(A0).set(0xFFFFFFFF2400FF01ull);
    hleOsSetSr();
    EXPECT_EQ(theCpu.cop0[COP0_STATUS], 0x2400FF01u);

    theCpu.fcr31 = 0x81000F83;
    gpr(A0).set(0xFFFFFFFF01000800ull);
    hleOsSetFpcCsr();
    EXPECT_EQ(value(V0), 0x81000F83u) << "old value, zero-extended";
    EXPECT_EQ(theCpu.fcr31, 0x01000800u);

    gpr(V0).set(~0ull);
    hleOsEepStatus();
    EXPECT_EQ(value(V0), 0u);
}

TEST_F(HleRoutines, SpTaskStartGoReleasesTheHaltAndMarksTheTask) {
    SP_STATUS_REG = 0x0000039F;
    gpr(V0).set(~0ull);
    mem_actions[0] = 0;
    hleOsSpTaskStartGo();
    EXPECT_EQ(SP_STATUS_REG, (0x39Fu & ~0x19u) | 0x40u);
    EXPECT_EQ(value(V0), 0u);
    // The task runs at the block's end, not in the middle of it.
    EXPECT_EQ(mem_actions[0], ACTION_SP_TASK);
    mem_actions[0] = 0;

    // The cache routines change nothing at all.
    const CpuState before = theCpu;
    hleOsWritebackDCache();
    hleOsInvalICache();
    EXPECT_EQ(std::memcmp(&before, &theCpu, sizeof before), 0);
}

TEST_F(HleRoutines, RawSignalProcessorIo) {
    storeGuestWord(0xA4000010, 0xDEADBEEF);
    gpr(A0).set(0x0000000004000010ull);
    gpr(A1).set(0xFFFFFFFF80000100ull);
    gpr(V0).set(~0ull);
    hleOsSpRawReadIo();
    EXPECT_EQ(loadGuestWord(0x80000100), 0xDEADBEEFu);
    EXPECT_EQ(value(T7), 0xFFFFFFFFA4000010ull);
    EXPECT_EQ(value(T8), 0x00000000DEADBEEFull);
    EXPECT_EQ(value(V0), 0u);

    gpr(A0).set(0x0000000084000020ull); // a cached address is made uncached
    gpr(A1).set(0xFFFFFFFF87654321ull);
    gpr(V0).set(~0ull);
    hleOsSpRawWriteIo();
    EXPECT_EQ(loadGuestWord(0xA4000020), 0x87654321u);
    EXPECT_EQ(value(T8), 0xFFFFFFFFA4000020ull);
    EXPECT_EQ(value(V0), 0u);
}

TEST_F(HleRoutines, RawCartridgeReadUsesTheLibrarysRomBase) {
    bootMachineWithProgram({0x11111111, 0x22222222, 0x33333333});
    storeGuestWord(0x80000308, 0xB0000000);
    gpr(A0).set(0x1004);
    gpr(A1).set(0xFFFFFFFF80000400ull);
    gpr(V0).set(0x55);
    hleOsPiRawReadIo();
    EXPECT_EQ(loadGuestWord(0x80000400), 0x22222222u);
    EXPECT_EQ(value(V0), 0x55u) << "v0 is not written";
    EXPECT_FALSE(isEmulationHalted());
}

TEST_F(HleRoutines, VirtualToPhysical) {
    gpr(A0).set(0xFFFFFFFF80001234ull);
    hleOsVirtualToPhysical();
    EXPECT_EQ(value(V0), 0x00001234u);
    gpr(A0).set(0xFFFFFFFFA0400008ull);
    hleOsVirtualToPhysical();
    EXPECT_EQ(value(V0), 0x00400008u);

    // A mapped address that no entry covers keeps v0.
    gpr(V0).set(0xFFFFFFFF12345678ull);
    gpr(A0).set(0x00400123);
    hleOsVirtualToPhysical();
    EXPECT_EQ(value(V0), 0xFFFFFFFF12345678ull);

    // Mapped, it goes through the TLB translation (whose rules the memory
    // map's tests check).
    tlb[7] = TlbEntry{0, 0, 0, 0, 0x00400000, 0x00404000, 0x00200000, 1};
    hleOsVirtualToPhysical();
    EXPECT_EQ(value(V0), 0x00200123u);
}

class HleMapTlb : public HleRoutines {
  protected:
    // Arguments of osMapTLB: index, page mask, virtual address, even page,
    // and on the guest stack the odd page and the address-space id.
    void callMapTlb(uint32_t index, uint32_t pageMask, uint32_t vaddr, uint32_t even, uint32_t odd,
                    uint32_t asid) {
        gpr(SP).set(0xFFFFFFFF801FFF00ull);
        storeGuestWord(0x801FFF10, odd);
        storeGuestWord(0x801FFF14, asid);
        gpr(A0).set(index);
        gpr(A1).set(pageMask);
        gpr(A2).set(vaddr);
        gpr(A3).set(uint64_t(int64_t(int32_t(even))));
        hleOsMapTlb();
    }
};

TEST_F(HleMapTlb, GlobalEvenPageOnly) {
    openTestLog();
    theCpu.cop0[COP0_ENTRYHI] = 0x80000000;
    callMapTlb(5, 0, 0x00400000, 0x00100000, 0xFFFFFFFF, 0xFFFFFFFF);
    const TlbEntry& e = tlb[5];
    EXPECT_EQ(e.VSTART, 0x00400000u);
    EXPECT_EQ(e.VEND, 0x00402000u);
    EXPECT_EQ(e.PHYSSTART, 0x00100000u);
    EXPECT_EQ(e.VALID, 1u);
    EXPECT_EQ(e.ll, 0x401Eu);
    EXPECT_EQ(e.lh, 0u);
    EXPECT_EQ(e.hl, 0x00401000u) << "global bit from both EntryLo words";
    EXPECT_EQ(theCpu.cop0[COP0_ENTRYHI], 0x80000000u) << "EntryHi restored";
    EXPECT_EQ(theCpu.cop0[COP0_INDEX], 5u);
    EXPECT_EQ(theCpu.cop0[COP0_ENTRYLO0], 0x401Fu);
    EXPECT_EQ(theCpu.cop0[COP0_ENTRYLO1], 1u);
    EXPECT_EQ(value(T0), 0xFFFFFFFF80000000ull);
    EXPECT_EQ(value(T1), ~0ull);
    EXPECT_EQ(value(T2), 0x1Fu);
    EXPECT_EQ(value(T3), ~0ull) << "the odd-page word as loaded";
    EXPECT_EQ(value(T4), 1u);
    EXPECT_EQ(value(AT), ~0ull);
    EXPECT_EQ(value(A2), 0x00400000u);

    const std::string log = openLogText();
    const size_t start = log.find("start of osMapTLB();");
    const size_t dump = log.find("TLB_WI");
    const size_t end = log.find("end of osMapTLB();");
    ASSERT_NE(start, std::string::npos);
    ASSERT_NE(dump, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LT(start, dump);
    EXPECT_LT(dump, end);
}

TEST_F(HleMapTlb, AddressSpaceIdAndBothPages) {
    callMapTlb(2, 0x6000, 0x00400000, 0x00100000, 0x00108000, 5);
    EXPECT_EQ(value(A2), 0x00400005u) << "the id is merged into a2";
    EXPECT_EQ(value(T1), 5u);
    EXPECT_EQ(value(T2), 0x1Eu);
    EXPECT_EQ(value(T3), 0x421Eu);
    EXPECT_EQ(theCpu.cop0[COP0_ENTRYLO0], 0x401Eu);
    EXPECT_EQ(theCpu.cop0[COP0_ENTRYLO1], 0x421Eu);
    EXPECT_EQ(theCpu.cop0[COP0_PAGEMASK], 0x6000u);
    const TlbEntry& e = tlb[2];
    EXPECT_EQ(e.hl, 0x00400005u) << "not global";
    EXPECT_EQ(e.lh, 0x421Eu);
    EXPECT_EQ(e.VEND - e.VSTART, 0x8000u);
    EXPECT_EQ(e.VALID, 1u);
    EXPECT_EQ(theCpu.cop0[COP0_ENTRYHI], 0u) << "EntryHi restored";
}

TEST_F(HleMapTlb, NeitherPageMapped) {
    theCpu.cop0[COP0_ENTRYHI] = 0x12340000;
    callMapTlb(9, 0, 0x00400000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
    EXPECT_EQ(theCpu.cop0[COP0_ENTRYLO0], 1u);
    EXPECT_EQ(theCpu.cop0[COP0_ENTRYLO1], 1u);
    EXPECT_EQ(value(T3), 0xFFFFFFFF80000000ull);
    EXPECT_EQ(tlb[9].hl, 0x80001000u) << "written with EntryHi 0x80000000";
    EXPECT_EQ(tlb[9].VALID, 0u);
    EXPECT_EQ(theCpu.cop0[COP0_ENTRYHI], 0x12340000u);
    EXPECT_EQ(value(T0), 0x12340000u);
}

TEST_F(HleRoutines, UnmapAllKeepsEntryZeroAndLogsNothing) {
    openTestLog();
    for (unsigned i = 0; i < TLB_ENTRIES; ++i)
        tlb[i] = TlbEntry{0x6000, 0x00401000 + i, 0x4001, 0x4003, 0x400000, 0x402000, 0x100000, 1};
    const TlbEntry entry0 = tlb[0];
    theCpu.cop0[COP0_ENTRYLO0] = theCpu.cop0[COP0_ENTRYLO1] = 0x77;
    hleOsUnmapTlbAll();
    EXPECT_EQ(std::memcmp(&tlb[0], &entry0, sizeof entry0), 0);
    for (unsigned i = 1; i < TLB_ENTRIES; ++i) {
        SCOPED_TRACE(i);
        const TlbEntry& e = tlb[i];
        EXPECT_EQ(e.hh, 0u);
        EXPECT_EQ(e.hl, 0x80000000u);
        EXPECT_EQ(e.lh | e.ll | e.VSTART | e.VEND | e.PHYSSTART | e.VALID, 0u);
    }
    EXPECT_EQ(theCpu.cop0[COP0_INDEX], 1u);
    EXPECT_EQ(theCpu.cop0[COP0_ENTRYHI], 0x80000000u);
    EXPECT_EQ(theCpu.cop0[COP0_ENTRYLO0] | theCpu.cop0[COP0_ENTRYLO1], 0u);
    EXPECT_EQ(openLogText(), "");
}

TEST_F(HleRoutines, MapTlbRdbMatchesTheIndexedWrite) {
    openTestLog();
    gpr(V0).set(0x99);
    hleOsMapTlbRdb();
    const TlbEntry mapped = tlb[31];
    EXPECT_EQ(mapped.VSTART, 0xC0000000u);
    EXPECT_EQ(mapped.VEND, 0xC0002000u);
    EXPECT_EQ(mapped.PHYSSTART, 0x80000000u);
    EXPECT_EQ(mapped.VALID, 1u);
    EXPECT_EQ(value(V0), 0x99u);
    EXPECT_EQ(openLogText(), "");
    // The indexed write from the COP0 registers it set derives the same entry.
    tlb[31] = TlbEntry{};
    writeTlbEntry();
    EXPECT_EQ(std::memcmp(&tlb[31], &mapped, sizeof mapped), 0);
}

TEST_F(HleRoutines, SinglePrecisionMaths) {
    const struct {
        HleHandler handler;
        float argument;
        float expected;
    } cases[] = {
        {hleSqrtf, 4.0f, 2.0f},
        {hleSqrtf, 2.0f, std::sqrt(2.0f)},
        {hleSqrtf, 1e-40f, float(std::sqrt(double(1e-40f)))}, // a denormal argument
        {hleSinf, 0.0f, 0.0f},
        {hleSinf, 1.0f, float(std::sin(1.0))},
        {hleSinf, -2.5f, float(std::sin(-2.5))},
        {hleCosf, 0.0f, 1.0f},
        {hleCosf, 1.0f, float(std::cos(1.0))},
        {hleCosf, 3.0f, float(std::cos(3.0))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        setFpr(12, c.argument);
        theCpu.fpr[1] = theCpu.fpr[2] = theCpu.fpr[3] = 0xFFFFFFFF;
        theCpu.fpr[13] = 0x12345678;
        c.handler();
        EXPECT_EQ(fpr(0), c.expected);
        EXPECT_EQ(theCpu.fpr[1] | theCpu.fpr[2] | theCpu.fpr[3], 0u);
        EXPECT_EQ(theCpu.fpr[13], 0x12345678u);
    }
    setFpr(12, -1.0f);
    hleSqrtf();
    EXPECT_TRUE(std::isnan(fpr(0)));
}

TEST_F(HleRoutines, LongLongMultiply) {
    setPair(A0, A1, 0x0000000100000000ull);
    setPair(A2, A3, 3);
    theCpu.hi.set(~0ull);
    hleLlMul();
    EXPECT_EQ(theCpu.lo.value(), 0x0000000300000000ull);
    EXPECT_EQ(theCpu.hi.value(), 0u);
    EXPECT_EQ(value(V0), 3u);
    EXPECT_EQ(value(V1), 0u);
    EXPECT_EQ(value(T6), 0x0000000100000000ull);
    EXPECT_EQ(value(T7), 3u);

    // -3 * 5: both result words zero-extended.
    setPair(A0, A1, uint64_t(-3));
    setPair(A2, A3, 5);
    hleLlMul();
    EXPECT_EQ(theCpu.lo.value(), uint64_t(-15));
    EXPECT_EQ(value(V0), 0xFFFFFFFFu);
    EXPECT_EQ(value(V1), 0xFFFFFFF1u);
    EXPECT_EQ(value(T6), uint64_t(-3));
}

// The library's 64-bit divisions: the quotient in lo, the remainder in hi,
// and the result in v0 (high word, zero-extended) and v1 (low word,
// sign-extended). Signed quotients round towards zero and the remainder takes
// the dividend's sign; a division by zero gives all ones (1 for a negative
// dividend) and leaves the dividend as the remainder.
TEST_F(HleRoutines, DivisionsAndRemainders) {
    const struct {
        HleHandler handler;
        uint64_t dividend, divisor, lo, hi, v0, v1;
    } cases[] = {
        {hleUllDiv, ~0ull, 2, 0x7FFFFFFFFFFFFFFF, 1, 0x7FFFFFFF, ~0ull},
        {hleUllRem, 0x180000005, 0x100000000, 1, 0x80000005, 0, 0xFFFFFFFF80000005},
        {hleUllDiv, 0x123456789, 0, ~0ull, 0x123456789, 0xFFFFFFFF, ~0ull},
        {hleUllRem, 0x123456789, 0, ~0ull, 0x123456789, 1, 0x23456789},
        {hleLlDiv, uint64_t(-7), 2, uint64_t(-3), uint64_t(-1), 0xFFFFFFFF, 0xFFFFFFFFFFFFFFFD},
        {hleLlDiv, 0x8000000000000000, ~0ull, 0x8000000000000000, 0, 0x80000000, 0},
        {hleLlDiv, 42, 0, ~0ull, 42, 0xFFFFFFFF, ~0ull},
        {hleLlDiv, uint64_t(-42), 0, 1, uint64_t(-42), 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.dividend << " / " << c.divisor);
        setPair(A0, A1, c.dividend);
        setPair(A2, A3, c.divisor);
        c.handler();
        EXPECT_EQ(theCpu.lo.value(), c.lo);
        EXPECT_EQ(theCpu.hi.value(), c.hi);
        EXPECT_EQ(value(V0), c.v0);
        EXPECT_EQ(value(V1), c.v1);
    }
}

} // namespace
