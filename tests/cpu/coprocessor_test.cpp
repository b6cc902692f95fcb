// The system-control moves, the TLB instructions, ERET and the interrupt
// round trip through the run loop, each run on both CPU cores.
#include <gtest/gtest.h>

#include <cstring>

#include "core/cpu_state.h"
#include "core/hw_registers.h"
#include "core/machine.h"
#include "core/tlb.h"
#include "cpu/both_cores_fixture.h"
#include "cpu/cpu_core.h"
#include "cpu/interrupts.h"
#include "cpu/recompiler/code_cache.h"
#include "system/run_loop.h"

using namespace enc;

namespace {

class CoprocessorTest : public BothCoresTest {};

// --- COP0 moves ---

TEST_P(CoprocessorTest, Cop0MovesTouchOnlyTheirWords) {
    cop0(COP0_STATUS) = 0x3400FF01;
    theCpu.gpr[t0].set(0xFFFFFFFF00000000ull);
    theCpu.gpr[t1].set(0x12345678ABCDEF01ull);
    cop0(COP0_CAUSE) = CAUSE_IP7;
    run({mfc0(t0, COP0_STATUS), mfc0(r0, COP0_STATUS), mtc0(t1, COP0_COMPARE),
         mtc0(r0, COP0_ENTRYHI)});
    // Only the low word is written: the high word keeps its value.
    EXPECT_EQ(theCpu.gpr[t0].value(), 0xFFFFFFFF3400FF01ull);
    EXPECT_EQ(theCpu.gpr[r0].value(), 0u);
    EXPECT_EQ(cop0(COP0_COMPARE), 0xABCDEF01u);
    EXPECT_EQ(cop0(COP0_ENTRYHI), 0u);
    // A new Compare does not acknowledge the timer.
    EXPECT_EQ(cop0(COP0_CAUSE), CAUSE_IP7);
    EXPECT_FALSE(isEmulationHalted());
}

// --- TLB instructions ---

TEST_P(CoprocessorTest, TlbWriteFoldsTheRegistersAndDerivesTheTranslation) {
    cop0(COP0_INDEX) = 5;
    cop0(COP0_PAGEMASK) = 0x00006000;              // 16 KiB pages
    cop0(COP0_ENTRYHI) = 0x00417FFF;               // low bits: part of the VPN and the ASID
    cop0(COP0_ENTRYLO0) = (0x00200000 >> 6) | 0x7; // frame 0x200, dirty, valid, global
    cop0(COP0_ENTRYLO1) = 0x00000001;              // global only
    run({tlbwi()});
    const TlbEntry& e = tlb[5];
    EXPECT_EQ(e.ll, 0x8006u);
    EXPECT_EQ(e.lh, 0u);
    EXPECT_EQ(e.hl, (0x00417FFFu & ~0x6000u & 0xFFFFE0FFu) | 0x1000u);
    EXPECT_EQ(e.hh, 0x6000u);
    EXPECT_EQ(e.VSTART, 0x00410000u);
    EXPECT_EQ(e.VEND, 0x00418000u);
    EXPECT_EQ(e.PHYSSTART, 0x00200000u);
    EXPECT_EQ(e.VALID, 1u);

    // TLBR gives back what TLBWI folded, the global bit in both EntryLo.
    cop0(COP0_PAGEMASK) = cop0(COP0_ENTRYHI) = cop0(COP0_ENTRYLO0) = cop0(COP0_ENTRYLO1) = 0;
    run({tlbr()});
    EXPECT_EQ(cop0(COP0_PAGEMASK), 0x6000u);
    EXPECT_EQ(cop0(COP0_ENTRYHI), 0x00410000u | 0xFFu);
    EXPECT_EQ(cop0(COP0_ENTRYLO0), 0x8007u);
    EXPECT_EQ(cop0(COP0_ENTRYLO1), 0x1u);

    // Only one global bit: the entry is not global, and TLBR says so.
    cop0(COP0_ENTRYLO0) = 0x8003;
    cop0(COP0_ENTRYLO1) = 0x8046;
    run({tlbwi(), tlbr()});
    EXPECT_EQ(cop0(COP0_ENTRYLO0), 0x8002u);
    EXPECT_EQ(cop0(COP0_ENTRYLO1), 0x8046u);
    EXPECT_EQ(cop0(COP0_ENTRYHI) & 0x1000, 0u);

    // Validity comes from EntryLo0 only.
    cop0(COP0_INDEX) = 2;
    cop0(COP0_ENTRYLO0) = 0x8000; // not valid
    cop0(COP0_ENTRYLO1) = 0x8042; // valid
    run({tlbwi()});
    EXPECT_EQ(tlb[2].VALID, 0u);

    // The design machine's probe always answers 30.
    cop0(COP0_ENTRYHI) = 0xDEADB000;
    run({tlbp()});
    EXPECT_EQ(cop0(COP0_INDEX), 30u);
}

TEST_P(CoprocessorTest, TlbIndexOutOfRangeChangesNothing) {
    for (uint32_t index : {32u, 0x80000000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(index);
        for (TlbEntry& e : tlb)
            e = TlbEntry{1, 2, 3, 4, 5, 6, 7, 8};
        cop0(COP0_INDEX) = index;
        cop0(COP0_ENTRYLO0) = cop0(COP0_ENTRYLO1) = 0x1234567;
        cop0(COP0_ENTRYHI) = cop0(COP0_PAGEMASK) = 0x89ABCDEF;
        run({tlbwi(), tlbr()});
        for (const TlbEntry& e : tlb)
            ASSERT_EQ(std::memcmp(&e, &tlb[0], sizeof e), 0);
        EXPECT_EQ(tlb[0].ll, 1u);
        EXPECT_EQ(tlb[0].VALID, 8u);
        EXPECT_EQ(cop0(COP0_ENTRYLO0), 0x1234567u);
        EXPECT_EQ(cop0(COP0_ENTRYHI), 0x89ABCDEFu);
    }
}

// --- ERET ---

TEST_P(CoprocessorTest, EretEndsTheBlockAtOnceAndReturnsFromAnExceptionOrAnError) {
    cop0(COP0_STATUS) = STATUS_IE | STATUS_IM7 | STATUS_EXL;
    cop0(COP0_CAUSE) = CAUSE_IP7 | CAUSE_IP2 | CAUSE_BD | (5 << 2);
    cop0(COP0_EPC) = 0x80004000;
    cop0(COP0_ERROREPC) = 0x80005000;
    // The instruction after ERET belongs to no block of ERET's.
    const uint32_t count = runAt(CODE, {ori(t0, r0, 1), eret(), ori(t1, r0, 1)});
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(theCpu.pc, 0x80004000u);
    EXPECT_EQ(cop0(COP0_STATUS), STATUS_IE | STATUS_IM7);
    EXPECT_EQ(cop0(COP0_CAUSE), 0u);
    EXPECT_EQ(theCpu.gpr[t0].lo, 1u);
    EXPECT_EQ(theCpu.gpr[t1].lo, 0u);

    // From an error: ErrorEPC, and EXL stays.
    cop0(COP0_STATUS) = 0x80000000 | STATUS_ERL | STATUS_EXL;
    cop0(COP0_CAUSE) = CAUSE_IP2;
    runAt(CODE, {eret()});
    EXPECT_EQ(theCpu.pc, 0x80005000u);
    EXPECT_EQ(cop0(COP0_STATUS), 0x80000000u | STATUS_EXL);
    // Cause takes the sign of the new Status.
    EXPECT_EQ(cop0(COP0_CAUSE), 0xFFFFFFFFu);
}

// --- Interrupts through the run loop ---

TEST_P(CoprocessorTest, TimerInterruptReturnsToTheNextBlockAndEretClearsIp7) {
    place(GENERAL_EXCEPTION_VECTOR, {mtc0(r0, COP0_COMPARE), eret()});
    // Two blocks: the first branches to the second, which loops on itself.
    place(CODE, {addiu(t0, t0, 1), j(CODE + 0x100), nop()});
    place(CODE + 0x100, {addiu(t1, t1, 1), j(CODE + 0x100), ori(t2, r0, 7)});
    cop0(COP0_STATUS) = STATUS_IE | STATUS_IM7;
    cop0(COP0_COUNT) = 10;
    cop0(COP0_COMPARE) = 12;
    theCpu.pc = CODE;

    ASSERT_TRUE(runBlock()); // 3 instructions: Count 10 -> 13 passes Compare
    EXPECT_EQ(theCpu.pc, GENERAL_EXCEPTION_VECTOR);
    EXPECT_EQ(cop0(COP0_EPC), CODE + 0x100);
    EXPECT_EQ(cop0(COP0_CAUSE), CAUSE_IP7);
    EXPECT_EQ(cop0(COP0_STATUS), STATUS_IE | STATUS_IM7 | STATUS_EXL);

    ASSERT_TRUE(runBlock()); // the handler: a new Compare keeps IP7 until ERET
    EXPECT_EQ(theCpu.pc, CODE + 0x100);
    EXPECT_EQ(cop0(COP0_CAUSE), 0u);
    EXPECT_EQ(cop0(COP0_STATUS), STATUS_IE | STATUS_IM7);
    EXPECT_EQ(cop0(COP0_COMPARE), 0u);

    ASSERT_TRUE(runBlock());
    EXPECT_EQ(theCpu.gpr[t1].lo, 1u);
    EXPECT_EQ(theCpu.gpr[t2].lo, 7u);
    EXPECT_EQ(theCpu.pc, CODE + 0x100);
}

TEST_P(CoprocessorTest, MaskedInterruptIsNeverDeliveredLater) {
    place(GENERAL_EXCEPTION_VECTOR, {eret()});
    place(CODE, {j(CODE), ori(t0, t0, 1)});
    // The VI line is masked in the MI when the interrupt comes.
    MI_INTR_MASK_REG = 0;
    cop0(COP0_STATUS) = STATUS_IE | STATUS_IM2;
    cop0(COP0_COUNT) = 100;
    nextViCount = 101;
    theCpu.pc = CODE;
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(MI_INTR_REG, MI_INTR_VI);
    EXPECT_EQ(nextViCount, 101 + VI_INTERRUPT_INTERVAL);
    EXPECT_EQ(cop0(COP0_CAUSE), 0u);
    EXPECT_EQ(theCpu.pc, CODE);
    // Opening the mask and running on does not deliver it.
    MI_INTR_MASK_REG = MI_INTR_VI;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(runBlock());
    EXPECT_EQ(theCpu.pc, CODE);
    EXPECT_EQ(cop0(COP0_EPC), 0u);
    EXPECT_EQ(cop0(COP0_STATUS) & STATUS_EXL, 0u);
}

TEST_P(CoprocessorTest, TimerDuringTheHandlerIsLostAfterEret) {
    constexpr uint32_t HANDLER_TAIL = 0x80000400;
    place(GENERAL_EXCEPTION_VECTOR, {addiu(t0, t0, 1), j(HANDLER_TAIL), nop()});
    place(HANDLER_TAIL, {eret()});
    place(CODE, {addiu(t1, t1, 1), j(CODE), addiu(t2, t2, 1)});
    cop0(COP0_STATUS) = STATUS_IE | STATUS_IM7 | STATUS_EXL;
    cop0(COP0_EPC) = CODE;
    cop0(COP0_COUNT) = 10;
    cop0(COP0_COMPARE) = 12;
    theCpu.pc = GENERAL_EXCEPTION_VECTOR;
    ASSERT_TRUE(runBlock()); // the timer comes while EXL is set: IP7 only
    EXPECT_EQ(cop0(COP0_CAUSE), CAUSE_IP7);
    EXPECT_EQ(theCpu.pc, HANDLER_TAIL);
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(cop0(COP0_CAUSE), 0u);
    EXPECT_EQ(theCpu.pc, CODE);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(runBlock());
    EXPECT_EQ(theCpu.pc, CODE);
    EXPECT_EQ(cop0(COP0_STATUS), STATUS_IE | STATUS_IM7);
    EXPECT_EQ(theCpu.gpr[t2].lo, 3u);
}

TEST_P(CoprocessorTest, IdleLoopSkipsToTheNearerEventAndNeverBackwards) {
    struct Case {
        const char* name;
        uint32_t count, compare, nextVi;
        uint32_t countAfter; // after the skip and the block's two instructions
        uint32_t cause;
    };
    const Case cases[] = {
        {"Compare ahead, before the VI", 100, 500, 10000, 502, CAUSE_IP7},
        {"Compare behind Count: the VI", 100, 1, 10000, 10001, 0},
        {"Compare 0: the VI", 100, 0, 10000, 10001, 0},
        {"Compare after the VI: the VI first", 100, 20000, 10000, 10001, 0},
        {"Compare ahead across the wrap", 0xFFFFFF00, 0x10, 0x00001000, 0x12, CAUSE_IP7},
        {"Count already at the VI's eve", 9999, 1, 10000, 10001, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cop0(COP0_STATUS) = 0;
        cop0(COP0_CAUSE) = 0;
        cop0(COP0_COUNT) = c.count;
        cop0(COP0_COMPARE) = c.compare;
        nextViCount = c.nextVi;
        runAt(CODE, {j(CODE), nop()});
        EXPECT_EQ(cop0(COP0_COUNT), c.countAfter);
        EXPECT_EQ(cop0(COP0_CAUSE) & CAUSE_IP7, c.cause);
        EXPECT_EQ(theCpu.pc, CODE);
        // A VI raised at once schedules the next one.
        if (!c.cause) {
            EXPECT_EQ(nextViCount, c.nextVi + VI_INTERRUPT_INTERVAL);
        }
    }
    // Another delay slot, or a jump elsewhere, is no idle loop.
    cop0(COP0_COUNT) = 100;
    cop0(COP0_COMPARE) = 5000;
    runAt(CODE, {j(CODE), addiu(t0, t0, 1)});
    EXPECT_EQ(cop0(COP0_COUNT), 102u);
    runAt(CODE, {j(CODE + 8), nop()});
    EXPECT_EQ(cop0(COP0_COUNT), 104u);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(BothCores, CoprocessorTest, bothCores, coreName);
