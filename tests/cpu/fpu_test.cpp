// The floating-point unit on both CPU cores: results and their register
// pairs, rounding of conversions, NaNs, the condition flag and its
// branches, and the forms that report themselves.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

#include "core/machine.h"
#include "cpu/both_cores_fixture.h"
#include "support/test_machine.h"

using namespace enc;

namespace {

class FpuTest : public BothCoresTest {};

TEST_P(FpuTest, SingleResultsClearTheOddHalfDoublesWriteBoth) {
    setSingle(2, 1.5f);
    setSingle(4, 2.25f);
    theCpu.fpr[7] = 0xDEADBEEF;
    setDouble(8, 1.0 / 3.0);
    setDouble(10, 2.0);
    theCpu.fpr[13] = 0xDEADBEEF;
    run({fpu(FMT_S, F_ADD, 6, 2, 4), fpu(FMT_D, F_MUL, 12, 8, 10)});
    EXPECT_EQ(single(6), 3.75f);
    EXPECT_EQ(theCpu.fpr[7], 0u);
    EXPECT_EQ(getDouble(12), 2.0 / 3.0);

    // Operands in registers that no result's cleared half reaches.
    setSingle(1, 9.0f);
    setSingle(2, 1.5f);
    setSingle(4, 2.25f);
    run({fpu(FMT_S, F_SUB, 20, 1, 2), fpu(FMT_S, F_DIV, 22, 1, 4), fpu(FMT_S, F_SQRT, 24, 1),
         fpu(FMT_S, F_NEG, 26, 1), fpu(FMT_S, F_ABS, 28, 26)});
    EXPECT_EQ(single(20), 7.5f);
    EXPECT_EQ(single(22), 4.0f);
    EXPECT_EQ(single(24), 3.0f);
    EXPECT_EQ(single(26), -9.0f);
    EXPECT_EQ(single(28), 9.0f);
    setDouble(8, 1.0 / 3.0);
    setDouble(10, 2.0);
    run({fpu(FMT_D, F_DIV, 16, 10, 8), fpu(FMT_D, F_NEG, 18, 8), fpu(FMT_D, F_ABS, 20, 18),
         fpu(FMT_D, F_MOV, 22, 8), fpu(FMT_D, F_SUB, 24, 8, 10)});
    EXPECT_EQ(getDouble(16), 2.0 / (1.0 / 3.0));
    EXPECT_EQ(getDouble(18), -1.0 / 3.0);
    EXPECT_EQ(getDouble(20), 1.0 / 3.0);
    EXPECT_EQ(getDouble(22), 1.0 / 3.0);
    EXPECT_EQ(getDouble(24), 1.0 / 3.0 - 2.0);
}

TEST_P(FpuTest, LastRegisterTouchesNothingOutsideTheRegisterFile) {
    theCpu.fcr0 = 0x00000B00;
    theCpu.fcr31 = 0x01000000;
    setSingle(2, 2.0f);
    setDouble(4, 8.0);
    theCpu.fpr[31] = 0x11111111;
    // Single and word results into f31, and every double form naming f31.
    run({fpu(FMT_S, F_MOV, 30, 2), fpu(FMT_S, F_ADD, 31, 2, 2)});
    EXPECT_EQ(single(31), 4.0f);
    EXPECT_EQ(single(30), 2.0f);
    EXPECT_EQ(theCpu.fpr[31], 0x40800000u);
    for (uint32_t word :
         {fpu(FMT_D, F_ADD, 31, 4, 4), fpu(FMT_D, F_ADD, 6, 31, 4), fpu(FMT_D, F_MOV, 31, 4),
          fpu(FMT_S, F_CVT_D, 31, 2), fpu(FMT_W, F_CVT_D, 31, 2), fpu(FMT_D, F_CVT_S, 6, 31),
          fpu(FMT_D, F_CVT_W, 6, 31), fpu(FMT_D, F_TRUNC_W, 6, 31), fpu(FMT_D, F_C_EQ, 0, 31, 4),
          fpu(FMT_S, F_CVT_W, 31, 2), fpu(FMT_S, F_TRUNC_W, 31, 2), fpu(FMT_D, F_CVT_S, 31, 4)}) {
        SCOPED_TRACE(word);
        theCpu.fpr[31] = 0x22222222;
        theCpu.fpr[6] = theCpu.fpr[7] = 0x33333333;
        run({word});
        EXPECT_EQ(theCpu.fcr0, 0x00000B00u);
        EXPECT_EQ(theCpu.fcr31, 0x01000000u);
        EXPECT_EQ(theCpu.fpr[6], 0x33333333u);
        EXPECT_FALSE(isEmulationHalted());
    }
    // The forms writing f31 from registers that fit did write it.
    EXPECT_EQ(single(31), 8.0f);

    // LDC1 and SDC1 at f31 move fpr[31] only, through the low word of the
    // doubleword; the high word in memory keeps its value.
    setGuestWord(0x10000, 0x55555555);
    setGuestWord(0x10004, 0x66666666);
    setGuestWord(0x10008, 0x77777777);
    setGuestWord(0x1000C, 0x88888888);
    theCpu.gpr[t0].set(0x80010000);
    run({ldc1(31, 0, t0), sdc1(31, 8, t0)});
    EXPECT_EQ(theCpu.fpr[31], 0x66666666u);
    EXPECT_EQ(guestWord(0x10008), 0x77777777u);
    EXPECT_EQ(guestWord(0x1000C), 0x66666666u);
    EXPECT_EQ(theCpu.fcr0, 0x00000B00u);
}

TEST_P(FpuTest, ConversionsRoundAsTheHostDoes) {
    struct Case {
        float in;
        int32_t trunc, nearest;
    };
    const Case cases[] = {{2.7f, 2, 3},  {-2.7f, -2, -3}, {3.0f, 3, 3},
                          {2.5f, 2, 2},  {3.5f, 3, 4},    {-2.5f, -2, -2},
                          {0.49f, 0, 0}, {-0.0f, 0, 0},   {2147483520.0f, 2147483520, 2147483520}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        setSingle(2, c.in);
        setDouble(4, double(c.in));
        run({fpu(FMT_S, F_TRUNC_W, 6, 2), fpu(FMT_S, F_CVT_W, 8, 2), fpu(FMT_D, F_TRUNC_W, 10, 4),
             fpu(FMT_D, F_CVT_W, 12, 4)});
        EXPECT_EQ(int32_t(theCpu.fpr[6]), c.trunc);
        EXPECT_EQ(int32_t(theCpu.fpr[8]), c.nearest);
        EXPECT_EQ(int32_t(theCpu.fpr[10]), c.trunc);
        EXPECT_EQ(int32_t(theCpu.fpr[12]), c.nearest);
        EXPECT_EQ(theCpu.fpr[7] | theCpu.fpr[9] | theCpu.fpr[11] | theCpu.fpr[13], 0u);
    }
    // Out of range, infinite or NaN: the integer indefinite.
    for (double d : {2147483648.0, -2147483649.0, 1e300, -double(INFINITY),
                     std::numeric_limits<double>::quiet_NaN()}) {
        SCOPED_TRACE(d);
        setDouble(4, d);
        run({fpu(FMT_D, F_TRUNC_W, 10, 4), fpu(FMT_D, F_CVT_W, 12, 4)});
        EXPECT_EQ(theCpu.fpr[10], 0x80000000u);
        EXPECT_EQ(theCpu.fpr[12], 0x80000000u);
    }
    // Truncation ignores the host's rounding mode.
    setSingle(2, 2.7f);
    ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
    run({fpu(FMT_S, F_TRUNC_W, 6, 2)});
    std::fesetround(FE_TONEAREST);
    EXPECT_EQ(int32_t(theCpu.fpr[6]), 2);
    // Within range only after truncation.
    setDouble(4, 2147483647.9);
    setDouble(14, -2147483648.9);
    run({fpu(FMT_D, F_TRUNC_W, 10, 4), fpu(FMT_D, F_TRUNC_W, 12, 14)});
    EXPECT_EQ(theCpu.fpr[10], 0x7FFFFFFFu);
    EXPECT_EQ(theCpu.fpr[12], 0x80000000u);

    // Word and format conversions.
    theCpu.fpr[2] = uint32_t(-16777217); // not exact as a single
    setDouble(4, 0.1);
    run({fpu(FMT_W, F_CVT_S, 6, 2), fpu(FMT_W, F_CVT_D, 8, 2), fpu(FMT_D, F_CVT_S, 10, 4),
         fpu(FMT_S, F_CVT_D, 12, 10)});
    EXPECT_EQ(single(6), -16777216.0f);
    EXPECT_EQ(getDouble(8), -16777217.0);
    EXPECT_EQ(single(10), 0.1f);
    EXPECT_EQ(getDouble(12), double(0.1f));
}

TEST_P(FpuTest, NaNsAreTheX87s) {
    setSingle(2, 0.0f);
    setSingle(3, -1.0f);
    theCpu.fpr[4] = 0x7F800001; // signalling
    theCpu.fpr[5] = 0x7FC00005; // quiet, with a payload
    setDouble(8, 0.0);
    run({fpu(FMT_S, F_DIV, 10, 2, 2), fpu(FMT_S, F_SQRT, 11, 3), fpu(FMT_S, F_ADD, 12, 4, 3),
         fpu(FMT_S, F_MUL, 13, 3, 5), fpu(FMT_S, F_NEG, 14, 4), fpu(FMT_S, F_MOV, 15, 4),
         fpu(FMT_D, F_SUB, 16, 8, 8)});
    EXPECT_EQ(theCpu.fpr[10], 0xFFC00000u); // the default NaN is negative
    EXPECT_EQ(theCpu.fpr[11], 0xFFC00000u);
    EXPECT_EQ(theCpu.fpr[12], 0x7FC00001u); // quieted, payload kept
    EXPECT_EQ(theCpu.fpr[13], 0x7FC00005u);
    EXPECT_EQ(theCpu.fpr[14], 0xFFC00001u); // NEG flips the quieted NaN's sign
    EXPECT_EQ(theCpu.fpr[15], 0x7F800001u); // MOV copies bits
    EXPECT_EQ(getDouble(16), 0.0);

    // Two NaNs: the one with the larger significand, whatever the order or
    // the signs.
    theCpu.fpr[2] = 0x7FC00001;
    theCpu.fpr[3] = 0xFFC00005;
    setDouble(8, std::numeric_limits<double>::quiet_NaN());
    theCpu.fpr[10] = 0x00000007;
    theCpu.fpr[11] = 0xFFF80000;
    run({fpu(FMT_S, F_ADD, 20, 2, 3), fpu(FMT_S, F_SUB, 22, 3, 2), fpu(FMT_D, F_MUL, 24, 8, 10),
         fpu(FMT_D, F_DIV, 26, 10, 8)});
    EXPECT_EQ(theCpu.fpr[20], 0xFFC00005u);
    EXPECT_EQ(theCpu.fpr[22], 0xFFC00005u);
    EXPECT_EQ(theCpu.fpr[24], 7u);
    EXPECT_EQ(theCpu.fpr[26], 7u);
    EXPECT_EQ(theCpu.fpr[27], 0xFFF80000u);

    // A NaN in fs and a signalling NaN in ft: fs (quieted), whatever the
    // significands, as the x87 returns the quiet operand of such a pair.
    theCpu.fpr[2] = 0xFFE00000; // quiet
    theCpu.fpr[3] = 0x7FBFFFFF; // signalling, larger significand
    theCpu.fpr[4] = 0x7F800001; // signalling
    setDouble(8, std::numeric_limits<double>::quiet_NaN());
    theCpu.fpr[10] = 0xFFFFFFFF;
    theCpu.fpr[11] = 0x7FF7FFFF; // signalling, larger significand
    run({fpu(FMT_S, F_ADD, 20, 2, 3), fpu(FMT_S, F_MUL, 21, 4, 3), fpu(FMT_S, F_ADD, 22, 3, 2),
         fpu(FMT_D, F_SUB, 24, 8, 10)});
    EXPECT_EQ(theCpu.fpr[20], 0xFFE00000u);
    EXPECT_EQ(theCpu.fpr[21], 0x7FC00001u);
    EXPECT_EQ(theCpu.fpr[22], 0x7FFFFFFFu); // fs signalling: both quiet, the larger wins
    EXPECT_EQ(theCpu.fpr[25], 0x7FF80000u);
    EXPECT_EQ(theCpu.fpr[24], 0u);
}

TEST_P(FpuTest, ComparesSetTheFlagAlsoWhenUnordered) {
    struct Case {
        float a, b;
        bool eq, lt, le;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {{1.0f, 1.0f, true, false, true},   {1.0f, 2.0f, false, true, true},
                          {2.0f, 1.0f, false, false, false}, {0.0f, -0.0f, true, false, true},
                          {nan, 1.0f, true, true, true},     {1.0f, nan, true, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " " << c.b);
        setSingle(2, c.a);
        setSingle(3, c.b);
        setDouble(4, c.a);
        setDouble(6, c.b);
        for (uint32_t fmt : {FMT_S, FMT_D}) {
            const uint32_t fs = fmt == FMT_S ? 2 : 4, ft = fmt == FMT_S ? 3 : 6;
            const bool expected[] = {c.eq, c.lt, c.le};
            const uint32_t functs[] = {F_C_EQ, F_C_LT, F_C_LE};
            for (int i = 0; i < 3; ++i) {
                // The flag starts opposite to the expected outcome.
                theCpu.fcr31 = expected[i] ? 0x01000003 : 0x01800003;
                run({fpu(fmt, functs[i], 0, fs, ft)});
                EXPECT_EQ(flag(), expected[i]) << "fmt " << fmt << " funct " << functs[i];
                EXPECT_EQ(theCpu.fcr31 & ~0x00800000u, 0x01000003u);
            }
        }
    }
}

TEST_P(FpuTest, BranchesOnTheFlag) {
    for (bool flagSet : {false, true}) {
        for (uint32_t code = 0; code < 4; ++code) {
            SCOPED_TRACE(testing::Message() << "flag " << flagSet << " bc " << code);
            theCpu.fcr31 = flagSet ? 0x00800000 : 0;
            theCpu.gpr[t0].set(0);
            const bool onTrue = code & 1, likely = code & 2;
            const bool taken = flagSet == onTrue;
            run({bc1(code, 0x40), addiu(t0, t0, 1)});
            EXPECT_EQ(theCpu.pc, taken ? CODE + 4 + 0x100 : CODE + 8);
            // A likely branch not taken skips its delay slot.
            EXPECT_EQ(theCpu.gpr[t0].lo, (likely && !taken) ? 0u : 1u);
        }
    }
}

TEST_P(FpuTest, ControlRegisterMovesChooseFcr0OrFcr31) {
    theCpu.fcr0 = 0x00000A00;
    theCpu.fcr31 = 0x80000003;
    theCpu.fpr[4] = 0xBF800000;
    theCpu.gpr[t3].set(0xFFFFFFFF01000001ull);
    theCpu.gpr[t4].set(0x0000000012345678ull);
    run({cfc1(t0, 0), cfc1(t1, 31), mfc1(t2, 4), cfc1(r0, 31), mfc1(r0, 4), ctc1(t3, 5),
         mtc1(t4, 9)});
    EXPECT_EQ(theCpu.gpr[t0].value(), 0xA00u);
    EXPECT_EQ(theCpu.gpr[t1].value(), 0xFFFFFFFF80000003ull);
    EXPECT_EQ(theCpu.gpr[t2].value(), 0xFFFFFFFFBF800000ull);
    EXPECT_EQ(theCpu.gpr[r0].value(), 0u);
    EXPECT_EQ(theCpu.fcr31, 0x01000001u); // control register 5 is fcr31
    EXPECT_EQ(theCpu.fcr0, 0xA00u);
    EXPECT_EQ(theCpu.fpr[9], 0x12345678u);
    run({ctc1(t4, 0)});
    EXPECT_EQ(theCpu.fcr0, 0x12345678u);
}

TEST_P(FpuTest, UnsupportedFormsReportAndHaltAfterTheirBlock) {
    struct Case {
        uint32_t word;
        const char* message; // null: silently nothing
    };
    const Case cases[] = {
        {fpu(FMT_D, F_SQRT, 6, 4), "FMT_D needed in DynaRec for SQRT!"},
        {fpu(FMT_L, F_CVT_S, 6, 4), "FMT_L needed in DynaRec for CVT.S!"},
        {fpu(FMT_L, F_CVT_D, 6, 4), "FMT_L needed in DynaRec for CVT.D!"},
        {fpu(FMT_D, F_C_ULT, 0, 4, 6), "COND_ULT needed in DynaRec for C.cond.D!"},
        {fpu(FMT_S, 0x30, 0, 4, 6), "COND_F needed in DynaRec for C.cond.S!"},
        {fpu(FMT_S, 0x3F, 0, 4, 6), "COND_NGT needed in DynaRec for C.cond.S!"},
        {fpu(FMT_W, F_ADD, 6, 4, 4), nullptr},
        {fpu(FMT_L, F_MUL, 6, 4, 4), nullptr},
        {fpu(FMT_W, F_C_ULT, 0, 4, 6), nullptr},
        {fpu(FMT_W, F_CVT_W, 6, 4), nullptr},
        {fpu(FMT_S, F_CVT_S, 6, 4), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        sink.clear();
        emulationHalted = 0;
        theCpu.fpr[6] = 0x5A5A5A5A;
        theCpu.fpr[7] = 0xA5A5A5A5;
        theCpu.fcr31 = 0;
        theCpu.gpr[t0].set(0);
        // The block goes on after the instruction and runs whole.
        const uint32_t count = run({c.word, addiu(t0, t0, 1)});
        EXPECT_EQ(count, 4u);
        EXPECT_EQ(theCpu.gpr[t0].lo, 1u);
        EXPECT_EQ(theCpu.fpr[6], 0x5A5A5A5Au);
        EXPECT_EQ(theCpu.fpr[7], 0xA5A5A5A5u);
        EXPECT_EQ(theCpu.fcr31, 0u);
        if (c.message) {
            EXPECT_TRUE(isEmulationHalted());
            ASSERT_EQ(sink.messages().size(), 1u);
            EXPECT_EQ(sink.messages()[0].text, c.message);
        } else {
            EXPECT_FALSE(isEmulationHalted());
            EXPECT_TRUE(sink.messages().empty());
        }
    }
}

} // namespace

INSTANTIATE_TEST_SUITE_P(BothCores, FpuTest, bothCores, coreName);
