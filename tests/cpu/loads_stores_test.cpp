// Loads and stores on both CPU cores: guest byte order, sign and zero
// extension, doublewords, the merge routines, FPU register transfers and
// stores that reach device registers.
#include <gtest/gtest.h>

#include "core/cpu_state.h"
#include "core/machine.h"
#include "core/memory.h"
#include "cpu/both_cores_fixture.h"
#include "support/test_machine.h"

using namespace enc;

namespace {

class LoadStoreTest : public BothCoresTest {
  protected:
    void SetUp() override {
        BothCoresTest::SetUp();
        set(t0, 0xFFFFFFFF80010000ull); // base register: RDRAM 0x10000
    }
};

TEST_P(LoadStoreTest, LoadsSeeBigEndianGuestMemory) {
    setGuestWord(0x10000, 0x80F1E2D3);
    setGuestWord(0x10004, 0x00000080);
    run({lb(s0, 1, t0), lbu(s1, 0, t0), lh(s2, 2, t0), lhu(s3, 0, t0), lw(s4, 0, t0),
         lbu(s5, 7, t0), lb(s6, 7, t0), lh(s7, 0, t0), lhu(t1, 2, t0)});
    EXPECT_EQ(reg(s0), 0xFFFFFFFFFFFFFFF1ull); // the guest's second byte
    EXPECT_EQ(reg(s1), 0x80u);
    EXPECT_EQ(reg(s2), 0xFFFFFFFFFFFFE2D3ull); // the low halfword
    EXPECT_EQ(reg(s3), 0x80F1u);
    EXPECT_EQ(reg(s4), 0xFFFFFFFF80F1E2D3ull);
    EXPECT_EQ(reg(s5), 0x80u);
    EXPECT_EQ(reg(s6), 0xFFFFFFFFFFFFFF80ull);
    EXPECT_EQ(reg(s7), 0xFFFFFFFFFFFF80F1ull);
    EXPECT_EQ(reg(t1), 0xE2D3u);
    // Only the low word of the base counts.
    set(t2, 0xFFFF0000'00000000 | 0x80010008);
    run({lw(t3, -8, t2)});
    EXPECT_EQ(reg(t3), 0xFFFFFFFF80F1E2D3ull);
}

TEST_P(LoadStoreTest, StoresWriteBigEndianGuestMemory) {
    set(s0, 0x11223344AABBCCDDull);
    run({sw(s0, 0, t0), sb(s0, 5, t0), sh(s0, 10, t0), sd(s0, 16, t0)});
    EXPECT_EQ(guestWord(0x10000), 0xAABBCCDDu);
    EXPECT_EQ(guestWord(0x10004), 0x00DD0000u);
    EXPECT_EQ(guestWord(0x10008), 0x0000CCDDu);
    EXPECT_EQ(guestWord(0x10010), 0x11223344u); // high word at the address
    EXPECT_EQ(guestWord(0x10014), 0xAABBCCDDu);
    // Loads into r0 still read memory, but change nothing.
    run({ld(s1, 16, t0), ld(r0, 16, t0), lb(r0, 0, t0), lwr(r0, 1, t0)});
    EXPECT_EQ(reg(s1), 0x11223344AABBCCDDull);
    EXPECT_EQ(reg(r0), 0u);
}

TEST_P(LoadStoreTest, UnalignedWordMerges) {
    setGuestWord(0x10000, 0x11223344);
    setGuestWord(0x10004, 0x55667788);
    set(s0, 0xFFFFFFFFAAAAAAAAull);
    // LWL then LWR of the unaligned word at 0x10002.
    run({lwl(s0, 2, t0), lwr(s0, 5, t0)});
    EXPECT_EQ(reg(s0), 0x0000000033445566ull); // LWR below offset 3 clears the high word
    set(s1, 0xA1B2C3D4);
    run({swl(s1, 1, t0), swr(s1, 4, t0)});
    EXPECT_EQ(guestWord(0x10000), 0x11A1B2C3u);
    EXPECT_EQ(guestWord(0x10004), 0xD4667788u);
}

TEST_P(LoadStoreTest, FpuRegisterTransfers) {
    setGuestWord(0x10000, 0x3FF00000);
    setGuestWord(0x10004, 0x00000001);
    run({ldc1(4, 0, t0), lwc1(7, 4, t0)});
    EXPECT_EQ(theCpu.fpr[4], 0x00000001u); // from address + 4
    EXPECT_EQ(theCpu.fpr[5], 0x3FF00000u); // from the address
    EXPECT_EQ(theCpu.fpr[7], 1u);
    run({sdc1(4, 8, t0), swc1(5, 16, t0)});
    EXPECT_EQ(guestWord(0x10008), 0x3FF00000u);
    EXPECT_EQ(guestWord(0x1000C), 0x00000001u);
    EXPECT_EQ(guestWord(0x10010), 0x3FF00000u);
}

TEST_P(LoadStoreTest, StoresToDeviceRegisters) {
    // VI_STATUS_REG: the value lands, the pending effect runs at the block's end.
    set(s0, 0x3202);
    set(s1, 0xFFFFFFFFA4400000ull);
    run({sw(s0, 0, s1)});
    EXPECT_EQ(blockWord(theMemory.hwRegs, 0x400000), 0x3202u);
    EXPECT_EQ(mem_actions[0], 0u);
    // PI_DRAM_ADDR_REG: a store without an effect.
    set(s1, 0xFFFFFFFFA4600000ull);
    run({sw(s0, 0, s1)});
    EXPECT_EQ(blockWord(theMemory.hwRegs, 0x600000), 0x3202u);
}

TEST_P(LoadStoreTest, UnmappedAccessHaltsAfterTheBlock) {
    set(s1, 0xFFFFFFFF83000000ull); // beyond RDRAM
    run({lw(s0, 0, s1), addiu(s2, r0, 5)});
    EXPECT_TRUE(isEmulationHalted());
    EXPECT_EQ(reg(s2), 5u) << "the block runs to its end";
}

} // namespace

INSTANTIATE_TEST_SUITE_P(BothCores, LoadStoreTest, bothCores, coreName);
