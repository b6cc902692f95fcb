// Jumps and branches of the reference interpreter: low-word comparisons,
// links, likely forms, the idle jump and the boot checksum loop.
#include "cpu/interpreter_fixture.h"

using namespace mips;

namespace {

struct BranchCase {
    const char* name;
    uint32_t word;
    uint64_t rsValue;
    uint64_t rtValue;
    bool taken;
};

} // namespace

TEST_F(InterpreterTest, TwoWayBranchesCompareOnlyLowWords) {
    const BranchCase cases[] = {
        {"BEQ equal low, different high", beq(t0, t1, 4), 0x1'00000005, 0x2'00000005, true},
        {"BEQ different low", beq(t0, t1, 4), 5, 6, false},
        {"BNE equal low, different high", bne(t0, t1, 4), 0x1'00000005, 5, false},
        {"BNE different low", bne(t0, t1, 4), 5, 6, true},
        {"BLTZ low 0x80000000, high 0", bltz(t0, 4), 0x00000000'80000000, 0, true},
        {"BLTZ low positive, high negative", bltz(t0, 4), 0xFFFFFFFF'00000001, 0, false},
        {"BGEZ zero", bgez(t0, 4), 0, 0, true},
        {"BGEZ low negative", bgez(t0, 4), 0x80000000, 0, false},
        {"BLEZ zero", blez(t0, 4), 0x5'00000000, 0, true},
        {"BLEZ positive", blez(t0, 4), 1, 0, false},
        {"BGTZ positive low, negative high", bgtz(t0, 4), 0xFFFFFFFF'00000001, 0, true},
        {"BGTZ zero", bgtz(t0, 4), 0, 0, false},
    };
    for (const BranchCase& c : cases) {
        SCOPED_TRACE(c.name);
        setReg(t0, c.rsValue);
        setReg(t1, c.rtValue);
        setReg(t2, 0);
        EXPECT_EQ(run({c.word, addiu(t2, r0, 1)}), 2u);
        EXPECT_EQ(theCpu.pc, c.taken ? CODE + 4 + 16 : CODE + 8);
        EXPECT_EQ(reg(t2), 1u); // the delay slot runs either way
    }
}

TEST_F(InterpreterTest, LikelyBranchesRunTheirDelaySlotOnlyWhenTaken) {
    const BranchCase cases[] = {
        {"BEQL", beql(t0, t1, -2), 0x7'00000001, 1, true},
        {"BEQL not taken", beql(t0, t1, -2), 1, 2, false},
        {"BNEL", bnel(t0, t1, -2), 1, 2, true},
        {"BNEL not taken", bnel(t0, t1, -2), 0x3'00000002, 2, false},
        {"BLEZL", blezl(t0, -2), 0x80000000, 0, true},
        {"BLEZL not taken", blezl(t0, -2), 7, 0, false},
        {"BGTZL", bgtzl(t0, -2), 7, 0, true},
        {"BGTZL not taken", bgtzl(t0, -2), 0, 0, false},
        {"BLTZL", bltzl(t0, -2), 0xFFFFFFFF, 0, true},
        {"BLTZL not taken", bltzl(t0, -2), 0, 0, false},
        {"BGEZL", bgezl(t0, -2), 0, 0, true},
        {"BGEZL not taken", bgezl(t0, -2), 0x80000000, 0, false},
    };
    for (const BranchCase& c : cases) {
        SCOPED_TRACE(c.name);
        setReg(t0, c.rsValue);
        setReg(t1, c.rtValue);
        setReg(t2, 0);
        EXPECT_EQ(run({c.word, addiu(t2, r0, 1)}), 2u);
        EXPECT_EQ(theCpu.pc, c.taken ? CODE + 4 - 8 : CODE + 8);
        EXPECT_EQ(reg(t2), c.taken ? 1u : 0u);
    }
}

TEST_F(InterpreterTest, JumpsAndLinks) {
    // J keeps the region of the delay slot's address.
    run({j(0x00123450), nop()}, 0x80001000);
    EXPECT_EQ(theCpu.pc, 0x80123450u);

    // JAL links PC + 8, sign-extended.
    run({jal(0x80200000), nop()});
    EXPECT_EQ(theCpu.pc, 0x80200000u);
    EXPECT_EQ(reg(ra), 0xFFFFFFFF'80001008ull);

    // JALR stores its link before reading rs: with rd = rs it jumps to the link.
    setReg(t0, 0x80300000);
    run({jalr(t0, t0), nop()});
    EXPECT_EQ(theCpu.pc, 0x80001008u);
    EXPECT_EQ(reg(t0), 0xFFFFFFFF'80001008ull);

    // JALR with rd = 0 links nothing; JR uses only the low word.
    setReg(t1, 0x5'80400000);
    run({jalr(r0, t1), nop()});
    EXPECT_EQ(theCpu.pc, 0x80400000u);
    EXPECT_EQ(reg(r0), 0u);
}

TEST_F(InterpreterTest, JumpToItselfWithNopSlotSkipsToTheNextEvent) {
    theCpu.cop0[COP0_COUNT] = 1000;
    theCpu.cop0[COP0_COMPARE] = 50000;
    EXPECT_EQ(run({j(CODE), nop()}), 2u);
    EXPECT_EQ(theCpu.cop0[COP0_COUNT], 50000u);
    EXPECT_EQ(theCpu.pc, CODE);

    // Without a Compare value the VI event is next; a Compare behind Count
    // never moves Count backwards.
    theCpu.cop0[COP0_COUNT] = 900000;
    theCpu.cop0[COP0_COMPARE] = 0;
    nextViCount = 1250000;
    run({j(CODE), nop()});
    EXPECT_EQ(theCpu.cop0[COP0_COUNT], 1249999u);

    theCpu.cop0[COP0_COUNT] = 900000;
    theCpu.cop0[COP0_COMPARE] = 10;
    run({j(CODE), nop()});
    EXPECT_EQ(theCpu.cop0[COP0_COUNT], 1249999u);

    // Any other delay slot loops normally; so does a jump elsewhere.
    theCpu.cop0[COP0_COUNT] = 1000;
    run({j(CODE), addiu(t0, t0, 1)});
    EXPECT_EQ(theCpu.cop0[COP0_COUNT], 1000u);
    run({j(CODE + 8), nop()});
    EXPECT_EQ(theCpu.cop0[COP0_COUNT], 1000u);
}

TEST_F(InterpreterTest, BgezalLinksLowWordOnlyAndTestsTheNewLink) {
    // rs = 31 tests the link just stored: 0x80001008 is negative, so the
    // branch falls through although ra held 0 before.
    setReg(ra, 0x12345678'00000000);
    run({bgezal(ra, 4), nop()});
    EXPECT_EQ(theCpu.pc, CODE + 8);
    EXPECT_EQ(reg(ra), 0x12345678'80001008ull);

    setReg(t0, 3);
    run({bgezal(t0, 4), nop()});
    EXPECT_EQ(theCpu.pc, CODE + 4 + 16);
    EXPECT_TRUE(sink->messages().empty());
}

TEST_F(InterpreterTest, BgezalAtTheBootChecksumLoopAsksWhetherToGoOn) {
    // At 0x80000248 any taken BGEZAL asks; Yes continues after the loop.
    sink->queueAnswer(MESSAGE_YES);
    run({bgezal(r0, 8), nop()}, 0x80000248);
    ASSERT_EQ(sink->messages().size(), 1u);
    EXPECT_EQ(sink->messages()[0].text,
              "Stuck in CRC loop @ PC=0x8000026C!!\nYou wanna run it anyways?");
    EXPECT_EQ(theCpu.pc, 0x8000026Cu + 8);
    EXPECT_FALSE(isEmulationHalted());
    sink->clear();

    // At 0x800001C8 only a branch to itself asks.
    run({bgezal(r0, 8), nop()}, 0x800001C8);
    EXPECT_TRUE(sink->messages().empty());
    sink->queueAnswer(MESSAGE_NO);
    run({bgezal(r0, -1), nop()}, 0x800001C8);
    ASSERT_EQ(sink->messages().size(), 1u);
    EXPECT_TRUE(isEmulationHalted());
    EXPECT_EQ(theCpu.pc, 0x800001C8u);
    sink->clear();

    // A branch that is not taken never asks.
    setReg(t0, 0x80000000);
    run({bgezal(t0, -1), nop()}, 0x80000198);
    EXPECT_TRUE(sink->messages().empty());
}
