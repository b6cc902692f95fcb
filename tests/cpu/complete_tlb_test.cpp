// The complete machine's TLBP and TLBWR on both CPU cores: the probe finds the
// entry of EntryHi's page pair by ASID or global bit and flags a miss; TLBWR
// writes the entry Random names and counts Random down to Wired.
#include <gtest/gtest.h>

#include "core/machine_mode.h"
#include "core/tlb.h"
#include "cpu/both_cores_fixture.h"

using namespace enc;

namespace {

class CompleteTlbTest : public BothCoresTest {
  protected:
    void SetUp() override {
        BothCoresTest::SetUp();
        theMachineMode = MachineMode::Complete;
    }
    void TearDown() override {
        theMachineMode = MachineMode::Design;
        BothCoresTest::TearDown();
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

TEST_P(CompleteTlbTest, ProbeMatchesPagePairAndAsidOrGlobal) {
    writeEntry(3, 0x00400000, 0x12, false);
    writeEntry(7, 0x00800000, 0x34, true);
    struct Case {
        const char* name;
        uint32_t entryHi, index;
    };
    const Case cases[] = {
        {"another ASID", 0x00400013, 0x80000000},     {"global entry, any ASID", 0x00800099, 7},
        {"an unmapped pair", 0x00C00012, 0x80000000},
    };
    for (const Case& c : cases) {
        cop0(COP0_ENTRYHI) = c.entryHi;
        run({tlbp()});
        EXPECT_EQ(cop0(COP0_INDEX), c.index) << c.name;
    }
}

TEST_P(CompleteTlbTest, WriteRandomUsesRandomAndCountsDownToWired) {
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

INSTANTIATE_TEST_SUITE_P(BothCores, CompleteTlbTest, bothCores, coreName);

} // namespace
