// A guest program assembled with the GNU assembler for MIPS and run end to
// end by the CPU thread on each CPU core: it installs an exception handler
// at 0x80000180 that serves the timer and the vertical interrupt and
// returns with ERET, maps a page through the TLB and calls code in it, and
// computes with the FPU. Skipped when the cross assembler is not installed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/cpu_state.h"
#include "core/hw_registers.h"
#include "core/machine.h"
#include "core/tlb.h"
#include "cpu/cpu_core.h"
#include "support/cpu_test_support.h"
#include "support/guest_program.h"
#include "support/test_machine.h"

namespace {

constexpr uint32_t RESULTS = 0x100000; // physical address of $s0's area

const std::string PROGRAM = guestProgramSource("system_program.s");

float guestSingle(uint32_t physical) {
    const uint32_t bits = guestWord(physical);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

double guestDouble(uint32_t physical) {
    const uint64_t bits = (uint64_t(guestWord(physical)) << 32) | guestWord(physical + 4);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

using GuestSystemProgramTest = CpuTest;

} // namespace

TEST_F(GuestSystemProgramTest, HandlerTlbAndFpuWorkOnBothCores) {
    GuestProgram program;
    ASSEMBLE_GUEST_PROGRAM_OR_SKIP(PROGRAM, program);
    uint32_t counts[2];
    forEachCpuCore([&](CpuCore core) {
        sink.clear();
        bootGuestProgramBare(program, core);
        runCpuThread();
        // The program ends at BREAK, which reports itself and halts.
        ASSERT_EQ(sink.messages().size(), 2u) << sink.messages()[0].text;
        EXPECT_NE(sink.messages()[0].text.find("missing in the recompiler"), std::string::npos);

        // TLB: read back, probe, code and data through the mapping.
        EXPECT_EQ(guestWord(RESULTS + 0), 0x8007u);
        EXPECT_EQ(guestWord(RESULTS + 4), 0x00400000u);
        EXPECT_EQ(guestWord(RESULTS + 8), 30u);
        EXPECT_EQ(guestWord(RESULTS + 12), 0x1234u * 2 + 0x11);
        EXPECT_EQ(tlb[1].VSTART, 0x00400000u);
        EXPECT_EQ(tlb[1].PHYSSTART, 0x00200000u);

        // FPU.
        EXPECT_EQ(guestSingle(RESULTS + 16), std::sqrt(2.0f));
        EXPECT_EQ(int32_t(guestWord(RESULTS + 20)), 2);
        EXPECT_EQ(int32_t(guestWord(RESULTS + 24)), -3);
        EXPECT_EQ(int32_t(guestWord(RESULTS + 28)), 4); // 3.5 to nearest even
        EXPECT_EQ(guestDouble(RESULTS + 32), 3.5);
        EXPECT_EQ(guestWord(RESULTS + 40), 3u);

        // One timer and at least one vertical interrupt served, ERET back
        // each time with the exception level cleared.
        EXPECT_EQ(guestWord(RESULTS + 0x44), 1u);
        EXPECT_GE(guestWord(RESULTS + 0x48), 1u);
        EXPECT_EQ(guestWord(RESULTS + 0x4C), 0x8401u);
        EXPECT_EQ(MI_INTR_REG & MI_INTR_VI, 0u);
        counts[core == CpuCore::Interpreter] = theCpu.cop0[COP0_COUNT];
    });
    EXPECT_EQ(counts[0], counts[1]);
    EXPECT_GT(counts[0], VI_INTERRUPT_INTERVAL);
}
