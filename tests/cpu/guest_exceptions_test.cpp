// The complete machine's exceptions raised by instructions, end to end on both
// cores: a guest handler at the general exception vector logs EPC and Cause
// of SYSCALL, BREAK, traps and overflows and returns past each; one raised
// in a delay slot reports the branch with BD. The design machine keeps its
// old handling. Skipped when the MIPS cross tools are not installed.
#include <gtest/gtest.h>

#include "core/cpu_state.h"
#include "core/machine_mode.h"
#include "cpu/cpu_core.h"
#include "support/cpu_test_support.h"
#include "support/guest_program.h"
#include "support/test_machine.h"

namespace {

constexpr uint32_t LOG = 0x100000; // physical address of the handler's log ($s0)

const std::string PROGRAM = guestProgramSource("exceptions.s");

using GuestExceptionsTest = CpuTest;

} // namespace

TEST_F(GuestExceptionsTest, HandlerSeesEachExceptionAndReturnsPastIt) {
    GuestProgram program;
    ASSEMBLE_GUEST_PROGRAM_OR_SKIP(PROGRAM, program);
    struct Expected {
        const char* site;
        uint32_t cause;
    };
    const Expected expected[] = {
        {"site_syscall", 8 << 2}, {"site_break", 9 << 2},
        {"site_teq", 13 << 2},    {"site_tlti", 13 << 2},
        {"site_add", 12 << 2},    {"site_addi", 12 << 2},
        {"site_sub", 12 << 2},    {"site_branch", 0x80000000u | (8 << 2)},
    };
    theMachineMode = MachineMode::Complete;
    uint64_t registers[2][32];
    for (CpuCore core : {CpuCore::Recompiler, CpuCore::Interpreter}) {
        SCOPED_TRACE(cpuCoreName(core));
        bootGuestProgramBare(program, core);
        ASSERT_TRUE(runBlocksUntil(program.symbol("finish"), 1000));
        ASSERT_EQ(guestWord(LOG + 0x104), 8 * std::size(expected));
        for (size_t i = 0; i < std::size(expected); ++i) {
            SCOPED_TRACE(expected[i].site);
            EXPECT_EQ(guestWord(LOG + 8 * i), program.symbol(expected[i].site));
            EXPECT_EQ(guestWord(LOG + 8 * i + 4) & 0x8000007Cu, expected[i].cause);
        }
        // The overflowing ADD, ADDI and SUB wrote nothing.
        EXPECT_EQ(guestWord(LOG + 0x100), 0x1234u);
        EXPECT_EQ(theCpu.gpr[11].value(), 0x77u);
        EXPECT_EQ(theCpu.gpr[13].value(), 0x55u);
        EXPECT_EQ(theCpu.gpr[14].value(), 0xFFFFFFFF80000001u);
        EXPECT_EQ(theCpu.cop0[COP0_STATUS] & 2, 0u);
        for (unsigned r = 0; r < 32; ++r)
            registers[core == CpuCore::Interpreter][r] = theCpu.gpr[r].value();
    }
    for (unsigned r = 0; r < 32; ++r)
        EXPECT_EQ(registers[0][r], registers[1][r]) << gprNames[r];

    // The design machine: SYSCALL does nothing, BREAK is missing and halts.
    theMachineMode = MachineMode::Design;
    bootGuestProgramBare(program, CpuCore::Recompiler);
    sink.clear();
    EXPECT_FALSE(runBlocksUntil(program.symbol("finish"), 1000));
    ASSERT_FALSE(sink.messages().empty());
    EXPECT_NE(sink.messages()[0].text.find("missing in the recompiler"), std::string::npos);
    EXPECT_EQ(guestWord(LOG), 0u);
    selectedCpuCore = CpuCore::Recompiler;
}
