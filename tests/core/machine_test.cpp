#include <gtest/gtest.h>

#include <cstring>

#include "core/cpu_state.h"
#include "core/hw_registers.h"
#include "core/machine.h"
#include "core/memory.h"
#include "core/memory_map.h"
#include "core/rom_file.h"
#include "core/tlb.h"
#include "romkit/mips_encode.h"
#include "support/test_machine.h"

namespace {

TEST(MachineReset, BootValues) {
    bootMachineWithProgram({mips::nop()});
    EXPECT_EQ(theCpu.pc, 0xA4000040u);
    EXPECT_EQ(theCpu.gpr[0].value(), 0u);
    EXPECT_EQ(theCpu.gpr[22].value(), 0x3Fu);
    EXPECT_EQ(theCpu.gpr[23].value(), 6u);
    EXPECT_EQ(theCpu.gpr[28].value(), 0xFFFFFFFF80000000u);
    EXPECT_EQ(theCpu.gpr[29].value(), 0xFFFFFFFFA4001FF0u);
    EXPECT_EQ(theCpu.gpr[31].lo, 0xFFFFFFFFu);
    EXPECT_EQ(theCpu.gpr[31].hi, 0xFFFFFFFFu);
    EXPECT_EQ(theCpu.cop0[COP0_STATUS], 0x34000000u);
    EXPECT_EQ(theCpu.cop0[COP0_CONFIG], 0x0006E463u);
    EXPECT_EQ(theCpu.cop0[COP0_RANDOM], 31u);
    EXPECT_EQ(theCpu.cop0[COP0_COUNT], 0u);
    EXPECT_EQ(theCpu.fcr0, 0x511u);
    EXPECT_EQ(nextViCount, 625000u);
    EXPECT_EQ(*reinterpret_cast<uint32_t*>(memRead(0xA4300004)), 0x01010101u);
    EXPECT_EQ(*reinterpret_cast<uint32_t*>(memRead(0xA4800018)), 0u);
    EXPECT_FALSE(isEmulationHalted());
}

TEST(MachineReset, BootCopyPlacesTheImageStartInSpDmem) {
    bootMachineWithProgram({mips::nop()});
    // The boot code's first word (lui t0, 0xB000 = 3C 08 B0 00 in the file) is
    // guest-readable at 0xA4000040 byte by byte in big-endian order.
    EXPECT_EQ(*memRead(0xA4000040 ^ 3), 0x3C);
    EXPECT_EQ(*memRead(0xA4000041 ^ 3), 0x08);
    EXPECT_EQ(*memRead(0xA4000042 ^ 3), 0xB0);
    EXPECT_EQ(theMemory.hwRegs[0x43], 0x3C);
    for (uint32_t offset = 0; offset < 0x1000; offset += 4)
        ASSERT_EQ(*reinterpret_cast<uint32_t*>(memRead(0xA4000000 + offset)),
                  blockWord(theRom.romImage.get(), offset))
            << offset;
}

TEST(MachineReset, SecondResetLeavesNothingOfTheFirstRun) {
    bootMachineWithProgram({mips::nop()});
    blockWord(theMemory.rdram, 0x1000) = 0xDEADBEEF;
    blockWord(theMemory.hwRegs, 0x1000) = 0xDEADBEEF; // SP IMEM
    MI_INTR_REG = 0x3F;
    theMemory.pifRamIn[5] = 1;
    theMemory.pifRamOut[9] = 1;
    tlb[4].VALID = 1;
    tlb[4].hl = 0x1234;
    tlb[4].VSTART = 0x1000;
    tlb[4].VEND = 0x3000;
    // A failed access lands in the spare word, which a later failed read of
    // the next run would see; the RDRAM registers live outside the blocks.
    std::memset(theMemory.dummyWord, 0xA5, sizeof theMemory.dummyWord);
    RDRAM_CONFIG_REG = 7;
    gioIntrReg = 9;
    theCpu.gpr[5].set(99);
    theCpu.cop0[COP0_COUNT] = 1234;
    theCpu.fpr[3] = 7;
    // A register effect marked by the last store of the run, not yet carried
    // out (an SP DMA).
    mem_actions[0] = 0x100;
    mem_actions[1] = 1;
    haltEmulation();
    ASSERT_TRUE(resetMachine());
    EXPECT_EQ(blockWord(theMemory.rdram, 0x1000), 0u);
    EXPECT_EQ(blockWord(theMemory.hwRegs, 0x1000), 0u);
    EXPECT_EQ(MI_INTR_REG, 0u);
    EXPECT_EQ(theMemory.pifRamIn[5], 0);
    EXPECT_EQ(theMemory.pifRamOut[9], 0);
    const TlbEntry blank{};
    EXPECT_EQ(std::memcmp(&tlb[4], &blank, sizeof blank), 0);
    for (uint8_t b : theMemory.dummyWord)
        EXPECT_EQ(b, 0);
    EXPECT_EQ(RDRAM_CONFIG_REG, 0u);
    EXPECT_EQ(gioIntrReg, 0u);
    EXPECT_EQ(theCpu.gpr[5].value(), 0u);
    EXPECT_EQ(theCpu.cop0[COP0_COUNT], 0u);
    EXPECT_EQ(theCpu.fpr[3], 0u);
    EXPECT_EQ(mem_actions[0], 0u);
    EXPECT_EQ(mem_actions[1], 0u);
    EXPECT_FALSE(isEmulationHalted());
}

TEST(MachineReset, WithoutRomSpDmemStaysZero) {
    resetBareMachine();
    for (uint32_t offset = 0; offset < 0x1000; offset += 4)
        ASSERT_EQ(blockWord(theMemory.hwRegs, offset), 0u);
}

} // namespace
