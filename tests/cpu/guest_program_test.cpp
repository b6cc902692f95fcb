// A guest program assembled with the GNU assembler for MIPS and run end to
// end by the CPU thread with each CPU core: a pseudo-random fill of an array,
// a rotate-and-xor checksum in a subroutine reached through JAL, and a byte
// sum. Skipped when the cross assembler is not installed.
#include <gtest/gtest.h>

#include "core/cpu_state.h"
#include "core/machine.h"
#include "cpu/cpu_core.h"
#include "cpu/recompiler/code_cache.h"
#include "support/cpu_test_support.h"
#include "support/guest_program.h"
#include "support/test_machine.h"

namespace {

constexpr uint32_t LOAD_ADDRESS = 0x80001000;

const char* const PROGRAM = R"(
        .set noreorder
        .set noat
        .text
        .globl start
start:  lui   $s0, 0x8010
        addiu $t0, $zero, 0
        addiu $t1, $zero, 12345
        addiu $t2, $zero, 256
        lui   $t3, 0x41C6
        ori   $t3, $t3, 0x4E6D
fill:   multu $t1, $t3
        mflo  $t1
        addiu $t1, $t1, 12345
        sll   $t4, $t0, 2
        addu  $t4, $t4, $s0
        sw    $t1, 0($t4)
        addiu $t0, $t0, 1
        bne   $t0, $t2, fill
        nop
        or    $a0, $s0, $zero
        addiu $a1, $zero, 256
        jal   checksum
        nop
        or    $s1, $v0, $zero
        addiu $t0, $zero, 0
        addiu $v1, $zero, 0
bytes:  addu  $t4, $s0, $t0
        lbu   $t5, 0($t4)
        addu  $v1, $v1, $t5
        addiu $t0, $t0, 1
        slti  $t6, $t0, 1024
        bne   $t6, $zero, bytes
        nop
        break
        nop
checksum:
        addiu $v0, $zero, 0
loop:   lw    $t7, 0($a0)
        sll   $t8, $v0, 5
        srl   $t9, $v0, 27
        or    $v0, $t8, $t9
        xor   $v0, $v0, $t7
        addiu $a0, $a0, 4
        addiu $a1, $a1, -1
        bgtz  $a1, loop
        nop
        jr    $ra
        nop
)";

// The same computation on the host.
void expectedResults(uint32_t& checksum, uint32_t& byteSum) {
    uint32_t seed = 12345, words[256];
    for (uint32_t& w : words)
        w = seed = seed * 1103515245u + 12345u;
    checksum = 0;
    for (uint32_t w : words)
        checksum = ((checksum << 5) | (checksum >> 27)) ^ w;
    byteSum = 0;
    for (uint32_t w : words)
        byteSum += (w >> 24) + ((w >> 16) & 0xFF) + ((w >> 8) & 0xFF) + (w & 0xFF);
}

using GuestProgramTest = CpuTest;

} // namespace

TEST_F(GuestProgramTest, ChecksumProgramGivesTheSameResultsOnBothCores) {
    if (!guestToolsAvailable()) GTEST_SKIP() << "the MIPS cross tools are not installed";
    GuestProgram program;
    std::string error;
    ASSERT_TRUE(assembleGuestProgram(PROGRAM, LOAD_ADDRESS, program, &error)) << error;
    uint32_t checksum, byteSum;
    expectedResults(checksum, byteSum);

    uint32_t counts[2];
    for (CpuCore core : {CpuCore::Recompiler, CpuCore::Interpreter}) {
        SCOPED_TRACE(cpuCoreName(core));
        resetBareMachine();
        sink.clear();
        place(LOAD_ADDRESS, program.words);
        theCpu.pc = LOAD_ADDRESS;
        runCpuThreadOn(core);
        // The program ends at BREAK, which reports itself and halts.
        ASSERT_EQ(sink.messages().size(), 2u);
        EXPECT_NE(sink.messages()[0].text.find("missing in the recompiler"), std::string::npos);
        EXPECT_EQ(theCpu.gpr[mips::s1].lo, checksum);
        EXPECT_EQ(theCpu.gpr[mips::v1].value(), byteSum);
        EXPECT_EQ(guestWord(0x100000), 12345u * 1103515245u + 12345u);
        counts[core == CpuCore::Interpreter] = theCpu.cop0[COP0_COUNT];
    }
    EXPECT_EQ(counts[0], counts[1]);
    EXPECT_GT(counts[0], 256u * 9);
}
