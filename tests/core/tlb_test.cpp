#include <gtest/gtest.h>

#include <cstring>

#include "base/log.h"
#include "core/cpu_state.h"
#include "core/machine.h"
#include "core/tlb.h"
#include "support/test_machine.h"

namespace {

class TlbTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetBareMachine();
        dir_ = makeTempDir("tlb");
        openLog(dir_.c_str(), "tlb");
    }
    void TearDown() override { closeLog(); }
    std::string log() {
        flushLog();
        return readTextFile(dir_ + "/tlb.log");
    }
    void loadCop0(uint32_t index, uint32_t pageMask, uint32_t entryHi, uint32_t lo0, uint32_t lo1) {
        theCpu.cop0[COP0_INDEX] = index;
        theCpu.cop0[COP0_PAGEMASK] = pageMask;
        theCpu.cop0[COP0_ENTRYHI] = entryHi;
        theCpu.cop0[COP0_ENTRYLO0] = lo0;
        theCpu.cop0[COP0_ENTRYLO1] = lo1;
    }
    std::string dir_;
};

TEST_F(TlbTest, IndexedWriteFoldsAndDerivesTheTranslation) {
    loadCop0(3, 0, 0x00400005, 0x0000401F, 0x00004047);
    writeTlbEntry();
    const TlbEntry& e = tlb[3];
    EXPECT_EQ(e.hl, 0x00401005u);
    EXPECT_EQ(e.ll, 0x0000401Eu);
    EXPECT_EQ(e.lh, 0x00004046u);
    EXPECT_EQ(e.VSTART, 0x00400000u);
    EXPECT_EQ(e.VEND, 0x00402000u);
    EXPECT_EQ(e.PHYSSTART, 0x00100000u);
    EXPECT_EQ(e.VALID, 1u);
    const std::string text = log();
    EXPECT_NE(text.find("TLB_WI reg status:\n\tPageMask=0x00000000\n\t EntryHi=0x00400005\n"
                        "\tEntryLo1=0x00004047\n\tEntryLo0=0x0000401F\n"),
              std::string::npos);
    EXPECT_NE(text.find("TLB Entry 3:\n\thh: 00000000\n\thl: 00401005\n\tlh: 00004046\n"
                        "\tll: 0000401E\n"),
              std::string::npos);
    EXPECT_NE(text.find("TLB address translation gives:\n\t   VSTART=0x00400000\n"
                        "\t     VEND=0x00402000\n\tPHYSSTART=0x00100000\n\t    VALID=1\n"),
              std::string::npos);
}

TEST_F(TlbTest, SixteenMegabytePagesAndTheGlobalBit) {
    loadCop0(3, 0x01FFE000, 0x00400005, 0x0000401F, 0x00004047);
    writeTlbEntry();
    EXPECT_EQ(tlb[3].VEND - tlb[3].VSTART, 0x02000000u);
    // Only one of the two global bits set: no global flag at bit 12.
    loadCop0(4, 0, 0x00400005, 0x0000401F, 0x00004046);
    writeTlbEntry();
    EXPECT_EQ(tlb[4].hl & 0x1000, 0u);
}

TEST_F(TlbTest, InvalidEvenPageDisablesTheWholeEntry) {
    loadCop0(5, 0, 0x00400000, 0x00004018, 0x00004047);
    writeTlbEntry();
    EXPECT_EQ(tlb[5].VALID, 0u);
}

TEST_F(TlbTest, OutOfRangeIndexWritesAndLogsNothing) {
    const TlbEntry before = tlb[0];
    loadCop0(0x80000000, 0, 0x00400005, 0x0000401F, 0x00004047);
    writeTlbEntry();
    loadCop0(32, 0, 0x00400005, 0x0000401F, 0x00004047);
    writeTlbEntry();
    EXPECT_EQ(std::memcmp(&before, &tlb[0], sizeof before), 0);
    EXPECT_EQ(log(), "");
}

TEST_F(TlbTest, DumpListsOnlyValidEntries) {
    theCpu.pc = 0x80000180;
    dumpTlb();
    EXPECT_EQ(log(), "[80000180] TLB dump:\n");
    loadCop0(9, 0, 0x00400005, 0x0000401F, 0x00004047);
    writeTlbEntry();
    dumpTlb();
    EXPECT_NE(log().find("#9:\nhh: 0x00000000\nhl: 0x00401005\nlh: 0x00004046\nll: 0x0000401E\n"
                         "TLB address translation gives:"),
              std::string::npos);
}

} // namespace
