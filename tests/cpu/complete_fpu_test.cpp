// The complete machine's FPU on both CPU cores: the register file in both
// Status.FR modes, every compare condition, conversions under each rounding
// mode, fcr31's causes and flags, and the NaNs both cores give.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "core/machine_mode.h"
#include "cpu/both_cores_fixture.h"
#include "cpu/recompiler/code_cache.h"
#include "support/test_machine.h"
#include "system/run_loop.h"

using namespace enc;

namespace {

constexpr uint32_t dmfc1(uint32_t rt, uint32_t fs) {
    return 0x44200000u | (rt << 16) | (fs << 11);
}
constexpr uint32_t dmtc1(uint32_t rt, uint32_t fs) {
    return 0x44A00000u | (rt << 16) | (fs << 11);
}
constexpr uint32_t F_ROUND_L = 0x08, F_TRUNC_L = 0x09, F_CEIL_L = 0x0A, F_FLOOR_L = 0x0B,
                   F_ROUND_W = 0x0C, F_CEIL_W = 0x0E, F_FLOOR_W = 0x0F, F_CVT_L = 0x25;
constexpr uint32_t STATUS_FR_BIT = 0x04000000;
constexpr uint32_t V = 16, Z = 8, O = 4, U = 2, I = 1, E = 32; // causes

uint64_t bitsOf(double d) {
    return std::bit_cast<uint64_t>(d);
}
uint32_t bitsOf(float f) {
    return std::bit_cast<uint32_t>(f);
}

class CompleteFpuTest : public BothCoresTest {
  protected:
    void SetUp() override {
        BothCoresTest::SetUp();
        theMachineMode = MachineMode::Complete;
        setFr(true);
        theCpu.fcr31 = 0;
    }
    static void setFr(bool on) {
        cop0(COP0_STATUS) =
            on ? cop0(COP0_STATUS) | STATUS_FR_BIT : cop0(COP0_STATUS) & ~STATUS_FR_BIT;
    }
    // Registers 8 and 9 into f0 and f2 (doubles, or singles in their low
    // words), `op` run on them, the result in fd moved into register 10.
    uint64_t apply(uint32_t op, uint64_t a, uint64_t b = 0, bool wordResult = false) {
        set(8, a);
        set(9, b);
        run({dmtc1(8, 0), dmtc1(9, 2), op, wordResult ? mfc1(10, 4) : dmfc1(10, 4)});
        return wordResult ? uint32_t(reg(10)) : reg(10);
    }
    static uint32_t causes() { return (theCpu.fcr31 >> 12) & 63; }
    static uint32_t flags() { return (theCpu.fcr31 >> 2) & 31; }
};

TEST_P(CompleteFpuTest, FullRegistersAreIndependentIncludingOddOnes) {
    set(8, bitsOf(1.25));
    set(9, bitsOf(2.5));
    set(11, 0x1111111122222222);
    set(12, bitsOf(3.0f));
    set(13, bitsOf(0.5f));
    set(1, 0xFFFFFFFF80000000);
    run({dmtc1(8, 1), dmtc1(9, 3), dmtc1(11, 5), dmtc1(11, 6), fpu(FMT_D, F_ADD, 5, 1, 3),
         mtc1(12, 7), mtc1(13, 9), fpu(FMT_S, F_MUL, 6, 7, 9), dmfc1(14, 5), dmfc1(15, 6),
         dmfc1(16, 1), mfc1(17, 7), sdc1(5, 0x100, 1), swc1(6, 0x108, 1)});
    EXPECT_EQ(reg(14), bitsOf(3.75));
    // A single result writes only the low word of its register.
    EXPECT_EQ(reg(15), 0x1111111100000000u | bitsOf(1.5f));
    EXPECT_EQ(reg(16), bitsOf(1.25));
    EXPECT_EQ(uint32_t(reg(17)), bitsOf(3.0f));
    EXPECT_EQ((uint64_t(guestWord(0x100)) << 32) | guestWord(0x104), bitsOf(3.75));
    EXPECT_EQ(guestWord(0x108), bitsOf(1.5f));
    // Loads into odd registers, doubles and singles.
    setGuestWord(0x200, uint32_t(bitsOf(-8.0) >> 32));
    setGuestWord(0x204, uint32_t(bitsOf(-8.0)));
    setGuestWord(0x208, bitsOf(2.0f));
    run({ldc1(13, 0x200, 1), lwc1(15, 0x208, 1), fpu(FMT_D, F_NEG, 17, 13),
         fpu(FMT_S, F_SQRT, 19, 15), dmfc1(20, 17), mfc1(21, 19)});
    EXPECT_EQ(reg(20), bitsOf(8.0));
    EXPECT_EQ(uint32_t(reg(21)), bitsOf(std::sqrt(2.0f)));
}

TEST_P(CompleteFpuTest, SixteenPairsAndOddSinglesAsHighHalves) {
    setFr(false);
    theCpu.fpr[4] = 0;
    set(8, bitsOf(1.5));
    set(9, bitsOf(4.0f));
    run({dmtc1(8, 2), mtc1(9, 5), fpu(FMT_S, F_ADD, 5, 5, 5), fpu(FMT_D, F_MUL, 6, 2, 2),
         mfc1(10, 3), mfc1(11, 5), dmfc1(12, 6), dmfc1(13, 7)});
    EXPECT_EQ(uint32_t(reg(10)), uint32_t(bitsOf(1.5) >> 32)); // the odd half of the pair
    EXPECT_EQ(uint32_t(reg(11)), bitsOf(8.0f));
    EXPECT_EQ(theCpu.fpr[4], 0u); // the single in f5 left f4 alone
    EXPECT_EQ(reg(12), bitsOf(2.25));
    EXPECT_EQ(reg(13), bitsOf(2.25)); // an odd number names its pair
}

TEST_P(CompleteFpuTest, StatusWriteEndsItsBlockAndFrHoldsAfterIt) {
    for (uint32_t statusWrite : {mtc0(8, COP0_STATUS), mips::dmtc0(8, COP0_STATUS)}) {
        setFr(false);
        set(8, cop0(COP0_STATUS) | STATUS_FR_BIT);
        set(9, bitsOf(5.0));
        theCpu.fpr[0] = 0;
        EXPECT_EQ(run({statusWrite, dmtc1(9, 1)}), 1u);
        EXPECT_EQ(theCpu.pc, CODE + 4);
        run({dmtc1(9, 1), dmfc1(10, 1), mfc1(11, 0)});
        EXPECT_EQ(reg(10), bitsOf(5.0));
        EXPECT_EQ(theCpu.fpr[0], 0u);
        EXPECT_EQ(uint32_t(reg(11)), 0u);
    }
}

TEST_P(CompleteFpuTest, EveryCompareConditionOnEachRelation) {
    // Relations: less, equal, greater, unordered; per condition the ones it
    // holds for (bit 0 less, 1 equal, 2 greater, 3 unordered).
    static const uint8_t holds[16] = {0, 8, 2, 10, 1, 9, 3, 11, 0, 8, 2, 10, 1, 9, 3, 11};
    const double pairs[4][2] = {{1.0, 2.0}, {-0.0, 0.0}, {3.0, -7.5}, {NAN, 1.0}};
    for (uint32_t format : {FMT_S, FMT_D})
        for (unsigned cond = 0; cond < 16; ++cond)
            for (unsigned relation = 0; relation < 4; ++relation) {
                const double a = pairs[relation][0], b = pairs[relation][1];
                set(8, format == FMT_S ? bitsOf(float(a)) : bitsOf(a));
                set(9, format == FMT_S ? bitsOf(float(b)) : bitsOf(b));
                theCpu.fcr31 = relation & 1 ? 0 : 0x00800000;
                run({dmtc1(8, 0), dmtc1(9, 2), fpu(format, 0x30 | cond, 0, 0, 2)});
                SCOPED_TRACE(testing::Message() << "format " << format << " cond " << cond
                                                << " relation " << relation);
                EXPECT_EQ(flag(), ((holds[cond] >> relation) & 1) != 0);
                EXPECT_EQ(causes(), relation == 3 && cond >= 8 ? V : 0u);
            }
}

TEST_P(CompleteFpuTest, ConversionsUnderEachRoundingMode) {
    // Rows by rounding mode (nearest, zero, up, down) for CVT.W, then ROUND,
    // TRUNC, CEIL and FLOOR, which ignore it.
    const double values[] = {2.5, -2.5, 3.5, -0.5, 1.2, -1.7};
    const int32_t byMode[4][6] = {
        {2, -2, 4, 0, 1, -2}, {2, -2, 3, 0, 1, -1}, {3, -2, 4, 0, 2, -1}, {2, -3, 3, -1, 1, -2}};
    const uint32_t fixed[4] = {F_ROUND_W, F_TRUNC_W, F_CEIL_W, F_FLOOR_W};
    const uint32_t fixedLong[4] = {F_ROUND_L, F_TRUNC_L, F_CEIL_L, F_FLOOR_L};
    for (unsigned mode = 0; mode < 4; ++mode)
        for (unsigned i = 0; i < 6; ++i) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " value " << values[i]);
            theCpu.fcr31 = mode;
            EXPECT_EQ(int32_t(apply(fpu(FMT_D, F_CVT_W, 4, 0), bitsOf(values[i]), 0, true)),
                      byMode[mode][i]);
            EXPECT_EQ(causes(), I);
            theCpu.fcr31 = 3 - mode;
            EXPECT_EQ(
                int32_t(apply(fpu(FMT_S, fixed[mode], 4, 0), bitsOf(float(values[i])), 0, true)),
                byMode[mode][i]);
            EXPECT_EQ(int64_t(apply(fpu(FMT_D, fixedLong[mode], 4, 0), bitsOf(values[i]))),
                      byMode[mode][i]);
        }
    // Out of range of a word, not of a long; NaNs and huge values of neither.
    EXPECT_EQ(apply(fpu(FMT_D, F_CVT_W, 4, 0), bitsOf(3e9), 0, true), 0x80000000u);
    EXPECT_EQ(causes(), E);
    EXPECT_EQ(apply(fpu(FMT_D, F_CVT_L, 4, 0), bitsOf(-3e9)), uint64_t(-3000000000LL));
    EXPECT_EQ(causes(), 0u);
    EXPECT_EQ(apply(fpu(FMT_S, F_FLOOR_L, 4, 0), bitsOf(1e19f)), 0x8000000000000000u);
    EXPECT_EQ(apply(fpu(FMT_D, F_TRUNC_W, 4, 0), bitsOf(double(NAN)), 0, true), 0x80000000u);
    EXPECT_EQ(causes(), E);
    // Between formats the mode rounds too: 1/3 to single, a long to double.
    theCpu.fcr31 = 2;
    const uint32_t up = uint32_t(apply(fpu(FMT_D, F_CVT_S, 4, 0), bitsOf(1.0 / 3.0)));
    theCpu.fcr31 = 3;
    const uint32_t down = uint32_t(apply(fpu(FMT_D, F_CVT_S, 4, 0), bitsOf(1.0 / 3.0)));
    EXPECT_EQ(up, down + 1);
    EXPECT_EQ(apply(fpu(FMT_L, F_CVT_D, 4, 0), (1ull << 60) + 1), bitsOf(std::ldexp(1.0, 60)));
    theCpu.fcr31 = 2;
    EXPECT_EQ(apply(fpu(FMT_L, F_CVT_D, 4, 0), (1ull << 60) + 1),
              bitsOf(std::nextafter(std::ldexp(1.0, 60), 2e18)));
    EXPECT_EQ(apply(fpu(FMT_W, F_CVT_S, 4, 0), 0xFFFFFFF9u, 0, true), bitsOf(-7.0f));
}

TEST_P(CompleteFpuTest, CausesAndFlagsOfFcr31) {
    apply(fpu(FMT_D, F_DIV, 4, 0, 2), bitsOf(1.0), bitsOf(0.0));
    EXPECT_EQ(causes(), Z);
    EXPECT_EQ(reg(10), bitsOf(HUGE_VAL));
    apply(fpu(FMT_S, F_MUL, 4, 0, 2), bitsOf(1e38f), bitsOf(1e38f), true);
    EXPECT_EQ(causes(), O | I);
    apply(fpu(FMT_S, F_MUL, 4, 0, 2), bitsOf(1e-30f), bitsOf(1e-15f), true);
    EXPECT_EQ(causes(), U | I);
    apply(fpu(FMT_D, F_ADD, 4, 0, 2), bitsOf(1.0), bitsOf(2.0));
    EXPECT_EQ(causes(), 0u);           // each operation replaces the causes,
    EXPECT_EQ(flags(), Z | O | U | I); // the flags accumulate.
    // Control registers: only fcr31's existing bits are written; fcr0 is
    // read-only, other numbers read as 0.
    set(8, 0xFFFFFFFF);
    theCpu.fcr0 = 0x0B00;
    run({ctc1(8, 31), ctc1(8, 0), cfc1(9, 31), cfc1(10, 0), cfc1(11, 5)});
    EXPECT_EQ(reg(9), 0x000000000183FFFFu);
    EXPECT_EQ(reg(10), 0x0B00u);
    EXPECT_EQ(reg(11), 0u);
    // A format the instruction does not take: Unimplemented, fd unchanged.
    theCpu.fcr31 = 0;
    set(12, 77);
    run({dmtc1(12, 4), fpu(FMT_W, F_ADD, 4, 0, 2), fpu(FMT_S, F_CVT_S, 4, 0), dmfc1(10, 4)});
    EXPECT_EQ(causes(), E);
    EXPECT_EQ(reg(10), 77u);
}

TEST_P(CompleteFpuTest, NaNResultsAreTheDefaultNaNWithInvalid) {
    const uint32_t quiet = 0x7FA00000, signalling = 0x7FC00000; // the guest's encoding
    for (uint32_t a : {quiet, signalling}) {
        EXPECT_EQ(apply(fpu(FMT_S, F_ADD, 4, 0, 2), a, signalling ^ quiet ^ a, true), 0x7FBFFFFFu);
        EXPECT_EQ(causes(), V);
        EXPECT_EQ(apply(fpu(FMT_S, F_NEG, 4, 0), a, 0, true), 0x7FBFFFFFu);
    }
    EXPECT_EQ(apply(fpu(FMT_D, F_SQRT, 4, 0), bitsOf(-1.0)), 0x7FF7FFFFFFFFFFFFu);
    EXPECT_EQ(apply(fpu(FMT_D, F_SUB, 4, 0, 2), bitsOf(HUGE_VAL), bitsOf(HUGE_VAL)),
              0x7FF7FFFFFFFFFFFFu);
    EXPECT_EQ(apply(fpu(FMT_S, F_CVT_D, 4, 0), quiet), 0x7FF7FFFFFFFFFFFFu);
    // MOV copies the bits.
    EXPECT_EQ(apply(fpu(FMT_D, F_MOV, 4, 0), 0x7FF8000000000123u), 0x7FF8000000000123u);
}

TEST_P(CompleteFpuTest, ArithmeticRoundsByTheGuestsMode) {
    for (unsigned mode = 0; mode < 4; ++mode) {
        theCpu.fcr31 = mode;
        const uint64_t third = apply(fpu(FMT_D, F_DIV, 4, 0, 2), bitsOf(1.0), bitsOf(3.0));
        const uint64_t minusThird = apply(fpu(FMT_D, F_DIV, 4, 0, 2), bitsOf(-1.0), bitsOf(3.0));
        const uint64_t nearest = bitsOf(1.0 / 3.0); // rounded down in magnitude
        EXPECT_EQ(third, mode == 2 ? nearest + 1 : nearest) << mode;
        EXPECT_EQ(minusThird, (mode == 3 ? nearest + 1 : nearest) | (1ull << 63)) << mode;
    }
}

INSTANTIATE_TEST_SUITE_P(BothCores, CompleteFpuTest, bothCores, coreName);

} // namespace

namespace {

class CompleteFpuCodeTest : public CompleteMachineTest {};

TEST_F(CompleteFpuCodeTest, TemplatesAddressRegistersByFrAndSettleNatively) {
    theCpu.cop0[COP0_STATUS] |= STATUS_FR_BIT;
    EXPECT_EQ(joinLines(translateToText(0x80001000, {fpu(FMT_S, F_ADD, 3, 5, 7)})),
              "mov eax, dword ptr [fcr31]; and eax, 3; lea rcx, [mxcsrNearest]; "
              "ldmxcsr dword ptr [rcx + rax*4]; movss xmm0, dword ptr [fprOdd4]; "
              "addss xmm0, dword ptr [fprOdd6]; call fpuSettleSingle; "
              "movss dword ptr [fprOdd2], xmm0");
    theCpu.cop0[COP0_STATUS] &= ~STATUS_FR_BIT;
}

TEST_F(CompleteFpuCodeTest, ChangeOfFrDiscardsTranslatedCode) {
    // The same cached block runs under both modes: DMTC1 into f1 is an odd
    // register of its own with FR = 1, the pair at f0 with FR = 0.
    place(0x80002000, {dmtc1(8, 1), j(0x80300000), nop()});
    theCpu.gpr[8].set(0x1122334455667788);
    theCpu.cop0[COP0_STATUS] |= STATUS_FR_BIT;
    theCpu.pc = 0x80002000;
    runBlock();
    EXPECT_EQ(theCpu.fprOdd[0], 0x55667788u);
    const uint32_t flushes = codeCacheFlushCount();
    theCpu.cop0[COP0_STATUS] &= ~STATUS_FR_BIT;
    theCpu.pc = 0x80002000;
    runBlock();
    EXPECT_EQ(theCpu.fpr[0], 0x55667788u);
    EXPECT_EQ(theCpu.fpr[1], 0x11223344u);
    EXPECT_EQ(codeCacheFlushCount(), flushes + 1);
}

} // namespace
