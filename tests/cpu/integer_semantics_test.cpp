// Integer instructions executed as translated blocks: arithmetic and logic,
// shifts, the multiply/divide unit, and the jumps and branches that close
// blocks.
#include <gtest/gtest.h>

#include "core/cpu_state.h"
#include "core/machine.h"
#include "cpu/interpreter/interpreter_internal.h"
#include "hle/hle_table.h"
#include "support/cpu_test_support.h"

using namespace enc;

namespace {

constexpr uint32_t PC = 0x80002000;

class IntegerTest : public CpuTest {
  protected:
    uint64_t reg(unsigned n) const { return theCpu.gpr[n].value(); }
    void set(unsigned n, uint64_t v) { theCpu.gpr[n].set(v); }
    // Runs `body` followed by a jump to 0x80003000 and its delay slot.
    void run(std::vector<uint32_t> body) {
        body.push_back(j(0x80003000));
        body.push_back(nop());
        runAt(PC, body);
        ASSERT_FALSE(isEmulationHalted());
        ASSERT_EQ(theCpu.pc, 0x80003000u);
    }
};

} // namespace

TEST_F(IntegerTest, ImmediateArithmeticFollowsThe32BitModel) {
    set(t0, 0x7FFFFFFF);
    set(t1, 0x0000000100000000ull);
    set(t2, 0xFFFFFFFF12345678ull);
    run({addiu(t3, t0, 1), addi(t4, t0, 1), xori(t5, t1, 0), ori(t6, t2, 0x0F),
         andi(t7, t2, 0xFF0F), lui(s0, 0x8001), lui(s1, 0x7001), ori(s2, t2, 0)});
    EXPECT_EQ(reg(t3), 0xFFFFFFFF80000000ull); // no overflow trap
    EXPECT_EQ(reg(t4), 0xFFFFFFFF80000000ull);
    EXPECT_EQ(reg(t5), 0u);                    // the high word of rs is not used
    EXPECT_EQ(reg(t6), 0xFFFFFFFF1234567Full); // ORI keeps the high word
    EXPECT_EQ(reg(t7), 0x5608u);               // ANDI clears it
    EXPECT_EQ(reg(s0), 0xFFFFFFFF80010000ull);
    EXPECT_EQ(reg(s1), 0x70010000u);
    EXPECT_EQ(reg(s2), 0xFFFFFFFF12345678ull);
    EXPECT_EQ(reg(r0), 0u);
}

TEST_F(IntegerTest, SetOnLessThanComparesWholeDoublewords) {
    set(t0, 0xFFFFFFFFFFFFFFFFull);
    set(t1, 5);
    set(t2, 0x0000000100000000ull);
    set(t3, 0x00000000FFFFFFFFull);
    run({sltiu(s0, t1, -1), sltiu(s1, t0, -1), slti(s2, t0, 0), slti(s3, t2, 1), slt(s4, t3, t2),
         sltu(s5, t0, t1), slt(s6, t0, t1), sltu(s7, t1, t1)});
    EXPECT_EQ(reg(s0), 1u); // every value but all ones is below 0xFFFF...FFFF
    EXPECT_EQ(reg(s1), 0u);
    EXPECT_EQ(reg(s2), 1u);
    EXPECT_EQ(reg(s3), 0u);
    EXPECT_EQ(reg(s4), 1u);
    EXPECT_EQ(reg(s5), 0u);
    EXPECT_EQ(reg(s6), 1u);
    EXPECT_EQ(reg(s7), 0u);
}

TEST_F(IntegerTest, RegisterArithmeticAndLogic) {
    set(t0, 0x12345678FFFF0000ull);
    set(t1, 0xF0F0F0F00000FFFFull);
    set(t2, 0x80000000);
    run({addu(s0, t0, t1), subu(s1, t1, t0), and_(s2, t0, t1), or_(s3, t0, t1), xor_(s4, t0, t1),
         nor(s5, t0, t1), or_(s6, r0, t1), or_(s7, t0, r0), or_(t8, r0, r0), subu(t9, r0, t2)});
    EXPECT_EQ(reg(s0), 0xFFFFFFFFFFFFFFFFull);
    EXPECT_EQ(reg(s1), 0x000000000001FFFFull);
    EXPECT_EQ(reg(s2), 0x1030507000000000ull);
    EXPECT_EQ(reg(s3), 0xF2F4F6F8FFFFFFFFull);
    EXPECT_EQ(reg(s4), 0xFFFFFFFFFFFFFFFFull); // the high words are not used
    EXPECT_EQ(reg(s5), 0x0D0B090700000000ull);
    EXPECT_EQ(reg(s6), reg(t1));
    EXPECT_EQ(reg(s7), reg(t0));
    EXPECT_EQ(reg(t8), 0u);
    EXPECT_EQ(reg(t9), 0xFFFFFFFF80000000ull);
}

TEST_F(IntegerTest, Shifts) {
    set(t0, 0x00000000F0000000ull);
    set(t1, 0x0000000F00000000ull);
    set(t2, 0x8000000180000001ull);
    set(t3, 36); // variable shifts use the count modulo 32
    run({dsll(s0, t0, 4), dsrl(s1, t1, 4), sll(s2, t2, 1), srl(s3, t2, 1), sra(s4, t2, 1),
         sllv(s5, t2, t3), srlv(s6, t2, t3), srav(s7, t2, t3), dsll32(t4, t2, 4), dsrl32(t5, t2, 4),
         dsra32(t6, t2, 4), dsll(t7, t2, 0), dsrl(t8, t2, 0)});
    EXPECT_EQ(reg(s0), 0x0000000F00000000ull);
    EXPECT_EQ(reg(s1), 0x00000000F0000000ull);
    EXPECT_EQ(reg(s2), 2u);
    EXPECT_EQ(reg(s3), 0x40000000u);
    EXPECT_EQ(reg(s4), 0xFFFFFFFFC0000000ull);
    EXPECT_EQ(reg(s5), 0x10u);
    EXPECT_EQ(reg(s6), 0x08000000u);
    EXPECT_EQ(reg(s7), 0xFFFFFFFFF8000000ull);
    EXPECT_EQ(reg(t4), 0x0000001000000000ull);
    EXPECT_EQ(reg(t5), 0x08000000u);
    EXPECT_EQ(reg(t6), 0xFFFFFFFFF8000000ull);
    EXPECT_EQ(reg(t7), reg(t2));
    EXPECT_EQ(reg(t8), reg(t2));
}

TEST_F(IntegerTest, MultiplyAndHiLoMoves) {
    set(t0, 0xFFFFFFFE);         // -2 as a 32-bit word
    set(t1, 0x0000000300000003); // 3
    run({mult(t0, t1), mflo(s0), mfhi(s1), multu(t0, t1), mflo(s2), mfhi(s3)});
    EXPECT_EQ(reg(s0), 0xFFFFFFFFFFFFFFFAull);
    EXPECT_EQ(reg(s1), 0xFFFFFFFFFFFFFFFFull);
    EXPECT_EQ(reg(s2), 0xFFFFFFFFFFFFFFFAull); // 0xFFFFFFFE * 3 = 2_FFFFFFFA
    EXPECT_EQ(reg(s3), 2u);

    set(t2, 0x123456789ABCDEF0ull);
    set(t3, 0x0FEDCBA987654321ull);
    run({mthi(t2), mtlo(t3), mfhi(s4), mflo(s5)});
    EXPECT_EQ(reg(s4), 0x123456789ABCDEF0ull);
    EXPECT_EQ(reg(s5), 0x0FEDCBA987654321ull);

    set(t4, 0xFFFFFFFFFFFFFFFFull);
    run({dmultu(t4, t4)});
    EXPECT_EQ(theCpu.lo.value(), 1u);
    EXPECT_EQ(theCpu.hi.value(), 0u); // even though the product exceeds 64 bits
}

TEST_F(IntegerTest, DivisionNeverFaultsTheHost) {
    struct Case {
        uint32_t instr;
        uint32_t dividend, divisor;
        uint64_t lo, hi;
    } cases[] = {
        {div(t0, t1), 7, uint32_t(-2), 0xFFFFFFFFFFFFFFFDull, 1},
        {div(t0, t1), uint32_t(-7), 2, 0xFFFFFFFFFFFFFFFDull, 0xFFFFFFFFFFFFFFFFull},
        {div(t0, t1), 5, 0, 0xFFFFFFFFFFFFFFFFull, 5},
        {div(t0, t1), uint32_t(-5), 0, 1, 0xFFFFFFFFFFFFFFFBull},
        {div(t0, t1), 0x80000000, 0xFFFFFFFF, 0xFFFFFFFF80000000ull, 0},
        {divu(t0, t1), 0x80000000, 2, 0x40000000, 0},
        {divu(t0, t1), 0x80000001, 0, 0xFFFFFFFFFFFFFFFFull, 0xFFFFFFFF80000001ull},
        {divu(t0, t1), 0xFFFFFFFF, 0x10, 0x0FFFFFFF, 0xF},
    };
    for (const Case& c : cases) {
        set(t0, c.dividend);
        set(t1, c.divisor);
        run({c.instr});
        EXPECT_EQ(theCpu.lo.value(), c.lo) << std::hex << c.instr << " " << c.dividend;
        EXPECT_EQ(theCpu.hi.value(), c.hi) << std::hex << c.instr << " " << c.dividend;
    }
    set(t2, 0x0000000500000000ull);
    set(t3, 0);
    run({ddivu(t2, t3)});
    EXPECT_EQ(theCpu.lo.value(), 0xFFFFFFFFFFFFFFFFull);
    EXPECT_EQ(theCpu.hi.value(), 0x0000000500000000ull);
    set(t3, 0x10);
    run({ddivu(t2, t3)});
    EXPECT_EQ(theCpu.lo.value(), 0x0000000050000000ull);
    EXPECT_EQ(theCpu.hi.value(), 0u);
}

TEST_F(IntegerTest, BranchesCompareSignedLowWords) {
    struct Case {
        uint32_t branch;
        uint64_t value;
        bool taken;
    } cases[] = {
        {beq(t0, t1, 3), 0xAAAAAAAA00000007ull, true}, // t1 = 7: high words differ
        {bne(t0, t1, 3), 0xAAAAAAAA00000007ull, false},
        {bltz(t0, 3), 0x0000000080000000ull, true},
        {bgez(t0, 3), 0xFFFFFFFF00000000ull, true},
        {blez(t0, 3), 0x0000000100000000ull, true},
        {bgtz(t0, 3), 0xFFFFFFFF00000001ull, true},
        {bgtz(t0, 3), 0, false},
        {blez(t0, 3), 1, false},
    };
    for (const Case& c : cases) {
        set(t0, c.value);
        set(t1, 7);
        set(s0, 0);
        const uint32_t count = runAt(PC, {c.branch, addiu(s0, s0, 1), addiu(s0, s0, 2)});
        EXPECT_EQ(count, 2u);
        EXPECT_EQ(reg(s0), 1u) << "the delay slot always runs";
        EXPECT_EQ(theCpu.pc, c.taken ? PC + 16 : PC + 8) << std::hex << c.branch;
    }
}

TEST_F(IntegerTest, LikelyBranchesSkipTheirDelaySlotWhenNotTaken) {
    set(t0, 1);
    set(t1, 2);
    set(s0, 0);
    EXPECT_EQ(runAt(PC, {beql(t0, t1, 5), addiu(s0, s0, 1)}), 2u); // counted in full
    EXPECT_EQ(reg(s0), 0u);
    EXPECT_EQ(theCpu.pc, PC + 8);
    runAt(PC, {bnel(t0, t1, 5), addiu(s0, s0, 1)});
    EXPECT_EQ(reg(s0), 1u);
    EXPECT_EQ(theCpu.pc, PC + 24);
    // A store before the likely branch: the early exit goes through the end
    // check, and the block still returns properly.
    set(t2, 0x80004000);
    runAt(PC, {sw(t1, 0, t2), bgtzl(r0, 4), addiu(s0, s0, 1)});
    EXPECT_EQ(reg(s0), 1u);
    EXPECT_EQ(theCpu.pc, PC + 12);
    for (uint32_t branch : {blezl(r0, 4), bltzl(t2, 4), bgezl(t0, 4)}) {
        runAt(PC, {branch, addiu(s0, s0, 1)});
        EXPECT_EQ(theCpu.pc, PC + 20) << std::hex << branch;
    }
    EXPECT_EQ(reg(s0), 4u);
}

TEST_F(IntegerTest, JumpsAndLinks) {
    runAt(PC, {jal(0x80005000), addiu(s0, r0, 9)});
    EXPECT_EQ(theCpu.pc, 0x80005000u);
    EXPECT_EQ(reg(ra), 0xFFFFFFFF80002008ull);
    EXPECT_EQ(reg(s0), 9u);
    set(t0, 0x80006000);
    runAt(PC, {jalr(t1, t0), nop()});
    EXPECT_EQ(theCpu.pc, 0x80006000u);
    EXPECT_EQ(reg(t1), 0xFFFFFFFF80002008ull);
    // With rd = rs the link is stored before rs is read.
    runAt(PC, {jalr(t0, t0), nop()});
    EXPECT_EQ(theCpu.pc, PC + 8);
    set(t2, 0x80007000);
    runAt(PC, {jr(t2), nop()});
    EXPECT_EQ(theCpu.pc, 0x80007000u);
    // A branch in a delay slot: its own slot is translated too, and its
    // decision is the one that stands.
    EXPECT_EQ(runAt(PC, {j(0x80008000), j(0x80009000), nop()}), 3u);
    EXPECT_EQ(theCpu.pc, 0x80009000u);
}

TEST_F(IntegerTest, BgezalLinksTheLowWordAndTestsTheNewLink) {
    set(ra, 0x1234567800000000ull);
    runAt(PC, {bgezal(ra, 4), nop()});
    EXPECT_EQ(theCpu.gpr[ra].lo, PC + 8);
    EXPECT_EQ(theCpu.gpr[ra].hi, 0x12345678u);
    EXPECT_EQ(theCpu.pc, PC + 8) << "the link 0x80002008 is negative";
    runAt(PC, {bgezal(r0, 4), nop()});
    EXPECT_EQ(theCpu.pc, PC + 20);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(IntegerTest, BgezalAtTheChecksumLoopAsksTheUser) {
    sink.queueAnswer(MESSAGE_YES);
    runAt(0x80000248, {bgezal(r0, 16), nop()});
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].text,
              "Stuck in CRC loop @ PC=0x8000028C!!\nYou wanna run it anyways?");
    EXPECT_EQ(theCpu.pc, 0x80000294u);
    EXPECT_FALSE(isEmulationHalted());
    // At 0x800001C8 only a branch to itself counts; "No" halts.
    runAt(0x800001C8, {bgezal(r0, 4), nop()});
    EXPECT_EQ(sink.messages().size(), 1u);
    sink.queueAnswer(MESSAGE_NO);
    runAt(0x800001C8, {bgezal(r0, -1), nop()});
    EXPECT_EQ(sink.messages().size(), 2u);
    EXPECT_TRUE(isEmulationHalted());
}

TEST_F(IntegerTest, IdleJumpMovesCountToTheNextEvent) {
    theCpu.cop0[COP0_COUNT] = 100;
    theCpu.cop0[COP0_COMPARE] = 5000;
    runAt(PC, {j(PC), nop()});
    EXPECT_EQ(theCpu.cop0[COP0_COUNT], 5002u);
    theCpu.cop0[COP0_COMPARE] = 0;
    runAt(PC, {j(PC), nop()});
    // Count = nextViCount - 1, plus the block's two instructions: the VI
    // interrupt is raised at once and schedules the next one.
    EXPECT_EQ(theCpu.cop0[COP0_COUNT], VI_INTERRUPT_INTERVAL + 1);
    EXPECT_EQ(nextViCount, 2 * VI_INTERRUPT_INTERVAL);
    // Any other delay slot loops normally.
    theCpu.cop0[COP0_COMPARE] = 900000;
    runAt(PC, {j(PC), addiu(t0, t0, 1)});
    EXPECT_EQ(theCpu.cop0[COP0_COUNT], VI_INTERRUPT_INTERVAL + 3);
}

namespace {

int nativeCalls = 0;
uint64_t t0AtNativeCall = 0;
void nativeReplacement() {
    ++nativeCalls;
    t0AtNativeCall = theCpu.gpr[mips::t0].value();
    theCpu.gpr[mips::v0].set(42);
}
const HleFunction replacedFunction{"replaced", 0x80300000, nativeReplacement};
int hleLookups = 0;
const HleFunction* fakeHleLookup(uint32_t, uint32_t target) {
    ++hleLookups;
    return target == 0x80300000 ? &replacedFunction : nullptr;
}

class ReplacedCallTest : public IntegerTest {
  protected:
    void SetUp() override {
        IntegerTest::SetUp();
        interp::hleLookup = fakeHleLookup;
        nativeCalls = hleLookups = 0;
    }
    void TearDown() override {
        interp::hleLookup = findHleFunction;
        hleEnabled = false;
        IntegerTest::TearDown();
    }
};

} // namespace

TEST_F(ReplacedCallTest, NativeRoutineRunsAfterTheDelaySlotAndTheBlockGoesOn) {
    hleEnabled = true;
    set(ra, 0x1111);
    const uint32_t count =
        runAt(PC, {jal(0x80300000), addiu(t0, r0, 5), addiu(t1, v0, 1), j(0x80003000), nop()});
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(nativeCalls, 1);
    EXPECT_EQ(t0AtNativeCall, 5u) << "the delay slot runs first";
    EXPECT_EQ(reg(t1), 43u) << "translation goes on at the return point";
    EXPECT_EQ(reg(ra), 0x1111u) << "the replaced JAL itself does nothing";
    EXPECT_EQ(theCpu.pc, 0x80003000u);
    // Another target, or an address outside KSEG0, runs the guest's own code.
    runAt(PC, {jal(0x80310000), nop()});
    EXPECT_EQ(theCpu.pc, 0x80310000u);
    EXPECT_EQ(nativeCalls, 1);
    const int lookupsSoFar = hleLookups;
    hleEnabled = false;
    runAt(PC, {jal(0x80300000), nop()});
    EXPECT_EQ(hleLookups, lookupsSoFar) << "no lookup while HLE is off";
    EXPECT_EQ(theCpu.pc, 0x80300000u);
}
