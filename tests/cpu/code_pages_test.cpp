// Code that changes, on the complete machine and on both cores: a routine
// overwritten by a store (through KSEG1) and then by a PI DMA after it ran
// runs its new words the next time; a store into the running block lets the
// block finish as it was and the new word runs the next time. The design machine's recompiler
// keeps running the old code. Skipped when the MIPS cross tools are not
// installed.
#include <gtest/gtest.h>

#include <cstring>

#include "core/cpu_state.h"
#include "core/machine_mode.h"
#include "core/rom_file.h"
#include "cpu/cpu_core.h"
#include "support/cpu_test_support.h"
#include "support/guest_program.h"
#include "support/test_machine.h"

namespace {

constexpr uint32_t RESULTS = 0x100000; // physical address of $s0's area

const std::string PROGRAM = guestProgramSource("code_pages.s");

using CodePagesTest = CpuTest;

// Runs the program from a cartridge image that holds it at offset 0x1000;
// returns the four results.
std::vector<uint32_t> runProgram(const GuestProgram& program, CpuCore core) {
    bootGuestProgramBare(program, core);
    std::vector<uint32_t> image(0x400 + program.words.size());
    std::copy(program.words.begin(), program.words.end(), image.begin() + 0x400);
    theRom.romSize = uint32_t(image.size() * 4);
    theRom.romImage = std::make_unique<uint8_t[]>(theRom.romSize + 8);
    std::memcpy(theRom.romImage.get(), image.data(), theRom.romSize);
    EXPECT_TRUE(runBlocksUntil(program.symbol("finish"), 1000));
    std::vector<uint32_t> results;
    for (uint32_t i = 0; i < 5; ++i)
        results.push_back(guestWord(RESULTS + 4 * i));
    theRom.freeImage();
    return results;
}

} // namespace

TEST_F(CodePagesTest, OverwrittenCodeRunsAnewOnBothCores) {
    GuestProgram program;
    ASSEMBLE_GUEST_PROGRAM_OR_SKIP(PROGRAM, program);

    theMachineMode = MachineMode::Complete;
    const std::vector<uint32_t> fresh{1, 2, 3, 5, 7};
    EXPECT_EQ(runProgram(program, CpuCore::Recompiler), fresh);
    EXPECT_EQ(runProgram(program, CpuCore::Interpreter), fresh);

    // The design machine never discards a translated block (the loop's second
    // pass starts a block of its own, which reads the new word).
    theMachineMode = MachineMode::Design;
    EXPECT_EQ(runProgram(program, CpuCore::Recompiler), (std::vector<uint32_t>{1, 1, 1, 5, 7}));
    selectedCpuCore = CpuCore::Recompiler;
}
