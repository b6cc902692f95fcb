// The complete machine's TLBP and TLBWR on both CPU cores: the probe finds the
// entry of EntryHi's page pair by ASID or global bit and flags a miss; TLBWR
// writes the entry Random names and counts Random down to Wired. Encodings no
// instruction uses raise the reserved-instruction exception; loads, stores
// and fetches at addresses their size does not align raise the address error.
#include <gtest/gtest.h>

#include "core/machine_mode.h"
#include "core/tlb.h"
#include "cpu/both_cores_fixture.h"
#include "romkit/mips_encode.h"
#include "support/test_machine.h"
#include "system/run_loop.h"

using namespace enc;

namespace {

class CompleteCop0Test : public BothCoresTest {
  protected:
    void SetUp() override {
        BothCoresTest::SetUp();
        theMachineMode = MachineMode::Complete;
    }
    // Writes entry `index` mapping the pair at `vpn2` for `asid` (global when
    // both EntryLo words have their G bit).
    void writeEntry(uint32_t index, uint32_t vpn2, uint32_t asid, bool global) {
        cop0(COP0_INDEX) = index;
        cop0(COP0_PAGEMASK) = 0;
        cop0(COP0_ENTRYHI) = vpn2 | asid;
        cop0(COP0_ENTRYLO0) = 0x00008002u | (global ? 1 : 0);
        cop0(COP0_ENTRYLO1) = 0x00008042u | (global ? 1 : 0);
        run({tlbwi()});
    }
};

TEST_P(CompleteCop0Test, ProbeMatchesPagePairAndAsidOrGlobal) {
    writeEntry(3, 0x00400000, 0x12, false);
    writeEntry(7, 0x00800000, 0x34, true);
    struct Case {
        const char* name;
        uint32_t entryHi, index;
    };
    const Case cases[] = {
        {"another ASID", 0x00400013, 0x80000000},
        {"global entry, any ASID", 0x00800099, 7},
        {"an unmapped pair", 0x00C00012, 0x80000000},
    };
    for (const Case& c : cases) {
        cop0(COP0_ENTRYHI) = c.entryHi;
        run({tlbp()});
        EXPECT_EQ(cop0(COP0_INDEX), c.index) << c.name;
    }
}

TEST_P(CompleteCop0Test, WriteRandomUsesRandomAndCountsDownToWired) {
    cop0(COP0_WIRED) = 29;
    cop0(COP0_RANDOM) = 30;
    cop0(COP0_INDEX) = 5;
    cop0(COP0_PAGEMASK) = 0;
    cop0(COP0_ENTRYHI) = 0x00600000;
    cop0(COP0_ENTRYLO0) = 0x00008003;
    cop0(COP0_ENTRYLO1) = 0x00008043;
    run({tlbwr()});
    EXPECT_EQ(tlb[30].hl & 0xFFFFE000, 0x00600000u);
    EXPECT_EQ(cop0(COP0_INDEX), 5u) << "Index keeps its value";
    EXPECT_EQ(cop0(COP0_RANDOM), 29u);
    run({tlbwr()});
    EXPECT_EQ(tlb[29].hl & 0xFFFFE000, 0x00600000u);
    EXPECT_EQ(cop0(COP0_RANDOM), 31u) << "wraps once it reaches Wired";
    uint32_t physical = 0;
    ASSERT_TRUE(tlbTranslate(0x00600010, physical));
    EXPECT_EQ(physical, 0x00200010u);
}

TEST_P(CompleteCop0Test, ReservedEncodingsRaiseTheReservedInstructionException) {
    const struct {
        const char* name;
        uint32_t word;
    } cases[] = {
        {"SPECIAL funct 0x01", 0x00000001},       {"CFC0", 0x40480000}, {"BC0F", 0x41000004},
        {"an unused primary opcode", 0x7C000000}, {"LDC2", 0xD8000000},
    };
    for (const auto& c : cases) {
        cop0(COP0_STATUS) = 0;
        cop0(COP0_CAUSE) = 0;
        set(mips::t0, 1);
        run({c.word, mips::addiu(mips::t0, mips::r0, 2)});
        EXPECT_EQ(theCpu.pc, 0x80000180u) << c.name;
        EXPECT_EQ(cop0(COP0_EPC), CODE) << c.name;
        EXPECT_EQ((cop0(COP0_CAUSE) >> 2) & 0x1F, 10u) << c.name;
        EXPECT_EQ(reg(mips::t0), 1u) << c.name << ": the rest of the block does not run";
    }
}

TEST_P(CompleteCop0Test, UnalignedAccessesAndFetchesRaiseTheAddressError) {
    using namespace mips;
    constexpr uint32_t DATA = 0x80100000;
    const struct {
        const char* name;
        uint32_t word, offset, code;
    } cases[] = {
        {"LH", lh(t1, 1, t0), 1, 4},         {"LW", lw(t1, 2, t0), 2, 4},
        {"LWU", mips::lwu(t1, 6, t0), 6, 4}, {"LD", ld(t1, 4, t0), 4, 4},
        {"LWC1", lwc1(2, 1, t0), 1, 4},      {"LL", mips::ll(t1, 3, t0), 3, 4},
        {"SH", sh(t1, 3, t0), 3, 5},         {"SW", sw(t1, 2, t0), 2, 5},
        {"SD", sd(t1, 12, t0), 12, 5},       {"SDC1", sdc1(2, 2, t0), 2, 5},
        {"SC", mips::sc(t1, 1, t0), 1, 5},   {"LHU", lhu(t1, 5, t0), 5, 4},
        {"LLD", mips::lld(t1, 4, t0), 4, 4}, {"LDC1", ldc1(2, 2, t0), 2, 4},
        {"SWC1", swc1(2, 6, t0), 6, 5},      {"SCD", mips::scd(t1, 9, t0), 9, 5},
    };
    for (const auto& c : cases) {
        cop0(COP0_STATUS) = 0;
        cop0(COP0_CAUSE) = 0;
        cop0(COP0_BADVADDR) = 0;
        set(t0, DATA);
        set(t1, 0x11);
        set(t2, 1);
        for (uint32_t i = 0; i < 4; ++i)
            setGuestWord(0x100000 + 4 * i, 0xA5A5A5A5);
        run({c.word, addiu(t2, r0, 2)});
        EXPECT_EQ(theCpu.pc, 0x80000180u) << c.name;
        EXPECT_EQ((cop0(COP0_CAUSE) >> 2) & 0x1F, c.code) << c.name;
        EXPECT_EQ(cop0(COP0_BADVADDR), DATA + c.offset) << c.name;
        EXPECT_EQ(cop0(COP0_EPC), CODE) << c.name;
        EXPECT_EQ(reg(t1), 0x11u) << c.name;
        EXPECT_EQ(reg(t2), 1u) << c.name << ": the rest of the block does not run";
        for (uint32_t i = 0; i < 4; ++i)
            EXPECT_EQ(guestWord(0x100000 + 4 * i), 0xA5A5A5A5u) << c.name;
    }

    // Aligned accesses, bytes and the unaligned forms run as before.
    cop0(COP0_CAUSE) = 0;
    run({lw(t1, 4, t0), lb(t2, 1, t0), lwl(t3, 1, t0), sh(t1, 2, t0)});
    EXPECT_NE(theCpu.pc, 0x80000180u);
    EXPECT_EQ(cop0(COP0_CAUSE) & 0x7C, 0u);
    EXPECT_EQ(uint32_t(reg(t1)), 0xA5A5A5A5u);

    // In a delay slot the exception names the branch.
    cop0(COP0_STATUS) = 0;
    run({beq(r0, r0, 2), sw(t1, 1, t0)});
    EXPECT_EQ(cop0(COP0_EPC), CODE);
    EXPECT_NE(cop0(COP0_CAUSE) & 0x80000000u, 0u);
    EXPECT_EQ(cop0(COP0_BADVADDR), DATA + 1);

    // A jump to an address that is no multiple of 4: the fetch there raises
    // it, with that address in BadVAddr and EPC.
    cop0(COP0_STATUS) = 0;
    cop0(COP0_CAUSE) = 0;
    set(t3, CODE + 0x102);
    run({jr(t3), nop()});
    ASSERT_EQ(theCpu.pc, CODE + 0x102);
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(theCpu.pc, 0x80000180u);
    EXPECT_EQ((cop0(COP0_CAUSE) >> 2) & 0x1F, 4u);
    EXPECT_EQ(cop0(COP0_BADVADDR), CODE + 0x102);
    EXPECT_EQ(cop0(COP0_EPC), CODE + 0x102);
}

TEST_P(CompleteCop0Test, AnAlignmentProvedOnceHoldsOnlyWhileItsBaseStands) {
    using namespace mips;
    constexpr uint32_t DATA = 0x80100000;
    // Each block's first access is aligned; the second is not, although a
    // check that the first passed could be read as covering it.
    const struct {
        const char* name;
        uint32_t base;
        std::vector<uint32_t> words;
        uint32_t epc, badVaddr;
    } faults[] = {
        {"offset not covered", DATA, {lw(t1, 0, t0), lw(t2, 6, t0)}, CODE + 4, DATA + 6},
        {"base moved", DATA, {lw(t1, 0, t0), addiu(t0, t0, 2), lw(t2, 0, t0)}, CODE + 8, DATA + 2},
        {"base loaded", DATA, {lw(t0, 0, t0), lw(t1, 0, t0)}, CODE + 4, DATA + 2},
        {"halfword, then word", DATA + 2, {lh(t1, 0, t0), lw(t2, 0, t0)}, CODE + 4, DATA + 2},
    };
    for (const auto& f : faults) {
        cop0(COP0_STATUS) = 0;
        set(t0, f.base);
        setGuestWord(0x100000, DATA + 2);
        run(f.words);
        EXPECT_EQ(theCpu.pc, 0x80000180u) << f.name;
        EXPECT_EQ(cop0(COP0_EPC), f.epc) << f.name;
        EXPECT_EQ(cop0(COP0_BADVADDR), f.badVaddr) << f.name;
    }
    // Accesses that the first check does prove aligned run as usual.
    cop0(COP0_STATUS) = 0;
    cop0(COP0_CAUSE) = 0;
    set(t0, DATA);
    set(t1, 0x11223344);
    set(t2, 0x55667788);
    run({sw(t1, 0, t0), sw(t2, 4, t0), lh(t3, 6, t0), lw(t4, 0, t0)});
    EXPECT_EQ(cop0(COP0_CAUSE) & 0x7C, 0u);
    EXPECT_EQ(guestWord(0x100004), 0x55667788u);
    EXPECT_EQ(reg(t3), 0x7788u);
    EXPECT_EQ(uint32_t(reg(t4)), 0x11223344u);
}

INSTANTIATE_TEST_SUITE_P(BothCores, CompleteCop0Test, bothCores, coreName);

} // namespace
