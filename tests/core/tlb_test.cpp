#include <gtest/gtest.h>

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
    void loadCop0(uint32_t index, uint32_t pageMask, uint32_t entryHi, uint32_t lo0, uint32_t lo1) {
        theCpu.cop0[COP0_INDEX] = index;
        theCpu.cop0[COP0_PAGEMASK] = pageMask;
        theCpu.cop0[COP0_ENTRYHI] = entryHi;
        theCpu.cop0[COP0_ENTRYLO0] = lo0;
        theCpu.cop0[COP0_ENTRYLO1] = lo1;
    }
    std::string dir_;
};

// The folding of the registers, validity and out-of-range indexes are checked
// through TLBWI on both CPU cores; here the largest pages and the log.
TEST_F(TlbTest, LargestPagesAndTheLoggedEntries) {
    loadCop0(3, 0x01FFE000, 0x00400005, 0x0000401F, 0x00004047);
    writeTlbEntry();
    EXPECT_EQ(tlb[3].VEND - tlb[3].VSTART, 0x02000000u);
    loadCop0(9, 0, 0x00400005, 0x0000401F, 0x00004047);
    writeTlbEntry();
    // An index out of range writes and logs nothing.
    const std::string before = openLogText();
    loadCop0(32, 0, 0x00400005, 0x0000401F, 0x00004047);
    writeTlbEntry();
    EXPECT_EQ(openLogText(), before);
    EXPECT_NE(before.find("TLB Entry 9:\n\thh: 00000000\n\thl: 00401005\n\tlh: 00004046\n"
                          "\tll: 0000401E\n"),
              std::string::npos);
    // The dump lists the valid entries only.
    closeLog();
    openLog(dir_.c_str(), "tlb");
    theCpu.pc = 0x80000180;
    tlb[3].VALID = tlb[9].VALID = 0;
    dumpTlb();
    EXPECT_EQ(openLogText(), "[80000180] TLB dump:\n");
    tlb[9].VALID = 1;
    dumpTlb();
    EXPECT_NE(
        openLogText().find("#9:\nhh: 0x00000000\nhl: 0x00401005\nlh: 0x00004046\nll: 0x0000401E\n"
                           "TLB address translation gives:"),
        std::string::npos);
}

} // namespace
