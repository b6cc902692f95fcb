// Loads and stores of the reference interpreter: byte lanes of the host-order
// words, doubleword halves, the unaligned merges and the FPU transfers.
#include "cpu/interpreter_fixture.h"

using namespace mips;

TEST_F(InterpreterTest, ByteAndHalfwordLoadsPickGuestLanes) {
    setData(DATA, 0x1182F344);
    setReg(t0, DATA);
    run({lb(t1, 1, t0), lbu(t2, 1, t0), lb(t3, 0, t0), lh(t4, 2, t0), lhu(t5, 2, t0),
         lh(t6, 0, t0)});
    EXPECT_EQ(reg(t1), 0xFFFFFFFF'FFFFFF82u);
    EXPECT_EQ(reg(t2), 0x82u);
    EXPECT_EQ(reg(t3), 0x11u);
    EXPECT_EQ(reg(t4), 0xFFFFFFFF'FFFFF344u);
    EXPECT_EQ(reg(t5), 0xF344u);
    EXPECT_EQ(reg(t6), 0x1182u);
}

TEST_F(InterpreterTest, WordLoadsSignExtendAndUseOnlyTheLowBaseWord) {
    setData(DATA + 4, 0x80000000);
    setReg(t0, 0xFFFF0000'00000000 | (DATA + 8));
    run({lw(t1, -4, t0)});
    EXPECT_EQ(reg(t1), 0xFFFFFFFF'80000000u);
}

TEST_F(InterpreterTest, ByteAndHalfwordStoresWriteGuestLanes) {
    setData(DATA, 0x11223344);
    setReg(t0, DATA);
    setReg(t1, 0xAABBCCDD);
    run({sb(t1, 2, t0)});
    EXPECT_EQ(data(DATA), 0x1122DD44u);
    run({sh(t1, 0, t0)});
    EXPECT_EQ(data(DATA), 0xCCDDDD44u);
    setReg(t1, 0x7'01020304);
    run({sw(t1, 0, t0)});
    EXPECT_EQ(data(DATA), 0x01020304u);
}

TEST_F(InterpreterTest, DoublewordsKeepHighHalfAtTheAddress) {
    setReg(t0, DATA);
    setReg(t1, 0x01234567'89ABCDEF);
    run({sd(t1, 8, t0), ld(t2, 8, t0)});
    EXPECT_EQ(data(DATA + 8), 0x01234567u);
    EXPECT_EQ(data(DATA + 12), 0x89ABCDEFu);
    EXPECT_EQ(reg(t2), 0x01234567'89ABCDEFu);
}

TEST_F(InterpreterTest, UnalignedWordMerges) {
    setData(DATA, 0x11223344);
    setData(DATA + 4, 0x55667788);
    setReg(t0, DATA);
    // LWL then LWR at an unaligned address: LWR below offset 3 clears the
    // high word.
    setReg(t1, 0xFFFFFFFF'AAAAAAAA);
    run({lwl(t1, 1, t0), lwr(t1, 4, t0)});
    EXPECT_EQ(reg(t1), 0x22334455u);

    setReg(t2, 0xA1B2C3D4);
    run({swl(t2, 2, t0), swr(t2, 5, t0)});
    EXPECT_EQ(data(DATA), 0x1122A1B2u);
    EXPECT_EQ(data(DATA + 4), 0xC3D47788u);

    // An SWL that changes nothing writes nothing, so no register effect is
    // recorded even for a hardware register.
    mem_actions[0] = 0;
    setReg(t3, 0xA4400000); // VI_STATUS_REG
    setReg(t4, blockWord(theMemory.hwRegs, 0x400000));
    run({swl(t4, 0, t3)});
    EXPECT_EQ(mem_actions[0], 0u);
}

TEST_F(InterpreterTest, LoadsIntoRegisterZeroStillReadMemoryButStoreNothing) {
    setData(DATA, 0x12345678);
    setReg(t0, DATA);
    run({lw(r0, 0, t0), ld(r0, 0, t0), lb(r0, 0, t0), lwl(r0, 1, t0), lwr(r0, 1, t0)});
    EXPECT_EQ(reg(r0), 0u);
}

TEST_F(InterpreterTest, FpuWordAndDoubleTransfers) {
    setData(DATA, 0x40090000);
    setData(DATA + 4, 0x00000001);
    setReg(t0, DATA);
    run({ldc1(4, 0, t0), lwc1(7, 4, t0)});
    EXPECT_EQ(theCpu.fpr[4], 0x00000001u);
    EXPECT_EQ(theCpu.fpr[5], 0x40090000u);
    EXPECT_EQ(theCpu.fpr[7], 0x00000001u);

    theCpu.fpr[10] = 0xCAFEBABE;
    theCpu.fpr[11] = 0xDEADBEEF;
    run({sdc1(10, 16, t0), swc1(11, 24, t0)});
    EXPECT_EQ(data(DATA + 16), 0xDEADBEEFu);
    EXPECT_EQ(data(DATA + 20), 0xCAFEBABEu);
    EXPECT_EQ(data(DATA + 24), 0xDEADBEEFu);
}

TEST_F(InterpreterTest, DoublePairAtTheLastFpuRegisterStaysInTheRegisterFile) {
    setData(DATA, 0x11111111);
    setData(DATA + 4, 0x22222222);
    setReg(t0, DATA);
    theCpu.fcr0 = 0x0A00;
    run({ldc1(31, 0, t0)});
    EXPECT_EQ(theCpu.fpr[31], 0x22222222u);
    EXPECT_EQ(theCpu.fcr0, 0x0A00u);

    theCpu.fpr[31] = 0x33333333;
    setData(DATA + 8, 0x44444444);
    run({sdc1(31, 8, t0)});
    EXPECT_EQ(data(DATA + 8), 0x44444444u);
    EXPECT_EQ(data(DATA + 12), 0x33333333u);
}

TEST_F(InterpreterTest, StoresToHardwareRegistersAreProcessedAtTheBlockEnd) {
    // SW to a register that records an effect, then the block's end check:
    // the pending effects are carried out (and cleared) when the block ends.
    setReg(ra, 0x80004000);
    setReg(t0, 0xA4400000); // VI_STATUS_REG
    setReg(t1, 0x3202);
    run({sw(t1, 0, t0), jr(ra), nop()});
    EXPECT_EQ(mem_actions[0], 0u);
    EXPECT_EQ(blockWord(theMemory.hwRegs, 0x400000), 0x3202u);
}
