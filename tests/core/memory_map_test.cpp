#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/log.h"
#include "core/cpu_state.h"
#include "core/hw_registers.h"
#include "core/machine.h"
#include "core/memory.h"
#include "core/memory_map.h"
#include "core/rom_file.h"
#include "core/tlb.h"
#include "support/test_machine.h"

namespace {

// Boots a bare machine with a ROM image of `romWords` zero words and a log
// file, so that every row's diagnostic can be checked.
class MemoryMapTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = makeTempDir("memmap");
        theRom.freeImage();
        theRom.romImage.reset(new uint8_t[0x10000 + 8]());
        theRom.romSize = 0x10000;
        ASSERT_TRUE(resetMachine());
        openLog(dir_.c_str(), "map");
    }
    void TearDown() override {
        closeLog();
        theRom.freeImage();
    }
    std::string log() {
        flushLog();
        return readTextFile(dir_ + "/map.log");
    }
    // Expects a read of `vaddr` to land on the scratch word with `line` logged
    // and the halt flag as given.
    void expectReadFault(uint32_t vaddr, const std::string& line, bool halts) {
        emulationHalted = 0;
        EXPECT_EQ(memRead(vaddr), theMemory.dummyWord) << std::hex << vaddr;
        EXPECT_NE(log().find(line), std::string::npos) << line;
        EXPECT_EQ(isEmulationHalted(), halts) << std::hex << vaddr;
    }
    void expectWriteFault(uint32_t vaddr, const std::string& line, bool halts = true) {
        emulationHalted = 0;
        EXPECT_EQ(memWrite(vaddr), theMemory.dummyWord) << std::hex << vaddr;
        EXPECT_NE(log().find(line), std::string::npos) << line;
        EXPECT_EQ(isEmulationHalted(), halts) << std::hex << vaddr;
    }
    std::string dir_;
};

TEST_F(MemoryMapTest, RdramIsReachedThroughBothSegmentsAndUntranslated) {
    EXPECT_EQ(memRead(0x80000100), theMemory.rdram + 0x100);
    EXPECT_EQ(memRead(0xA0000100), theMemory.rdram + 0x100);
    EXPECT_EQ(memWrite(0xA07FFFFC), theMemory.rdram + 0x7FFFFC);
    // No valid TLB entry: a KUSEG address is classified as physical.
    EXPECT_EQ(memRead(0x00000100), theMemory.rdram + 0x100);
    // Byte lanes: the caller's XOR survives into the pointer.
    EXPECT_EQ(memRead(0x80000001 ^ 3), theMemory.rdram + 2);
    EXPECT_FALSE(isEmulationHalted());
}

TEST_F(MemoryMapTest, ReadRowsAtTheirBoundaries) {
    expectReadFault(0xA0800000, "Supposedly Unused RDRAM Memory Address Read: 0xA0800000", true);
    expectReadFault(0xA3EFFFFC, "Supposedly Unused RDRAM Memory Address Read: 0xA3EFFFFC", true);
    EXPECT_EQ(memRead(0xA3F00000), reinterpret_cast<uint8_t*>(&RDRAM_CONFIG_REG));
    EXPECT_EQ(memRead(0xA3F0000C), reinterpret_cast<uint8_t*>(&RDRAM_MODE_REG));
    expectReadFault(0xA3F00004, "Unhandled RDRAM regs Memory Address Read: 0xA3F00004", true);
    expectReadFault(0xA3FFFFFC, "Unhandled RDRAM regs Memory Address Read: 0xA3FFFFFC", true);
    emulationHalted = 0;
    EXPECT_EQ(memRead(0xA4000000), theMemory.hwRegs);
    EXPECT_EQ(memRead(0xA48FFFFC), theMemory.hwRegs + 0x8FFFFC);
    EXPECT_FALSE(isEmulationHalted());
    expectReadFault(0xA4900000, "Unhandled Memory Address Read: 0xA4900000", true);
    expectReadFault(0xA5000000, "Read from Cartridge Domain 2.. Ignored", false);
    // A byte read at 0xA5FFFFFC reaches physical 0x05FFFFFF after the lane XOR.
    expectReadFault(0xA5FFFFFC ^ 3, "Read from Cartridge Domain 2.. Ignored", false);
    expectReadFault(0xA6000000, "Read from Cartridge Domain 3.. N64Drive?", false);
    expectReadFault(0xA7FFFFFC, "Read from Cartridge Domain 3.. N64Drive?", false);
    expectReadFault(0xA8000000, "SRAM read: 0xA8000000 (Ignored)", false);
    expectReadFault(0xAFFFFFFC, "SRAM read: 0xAFFFFFFC (Ignored)", false);
}

TEST_F(MemoryMapTest, CartridgeRowsAndRomEnd) {
    EXPECT_EQ(memRead(0xB0000000), theRom.romImage.get());
    EXPECT_EQ(memRead(0xB000FFFC), theRom.romImage.get() + 0xFFFC);
    expectReadFault(0xB0010000, "Read beyond ROM size (0xB0010000), ROM ends @ 0xB0010000!", true);
    emulationHalted = 0;
    EXPECT_EQ(memRead(0xB0FFB000), theMemory.cartBlockB);
    EXPECT_EQ(memRead(0xB0FFBFFC), theMemory.cartBlockB + 0xFFC);
    EXPECT_EQ(memRead(0xB0FFD000), theMemory.cartBlockD);
    EXPECT_EQ(memRead(0xB0FFDFFC), theMemory.cartBlockD + 0xFFC);
    EXPECT_FALSE(isEmulationHalted());
    expectReadFault(0xB0FFA000, "Unhandled GIO Memory Address Read: 0xB0FFA000", true);
    expectReadFault(0xB0FFC000, "Unhandled GIO Memory Address Read: 0xB0FFC000", true);
    expectReadFault(0xB0FFE000, "Unhandled GIO Memory Address Read: 0xB0FFE000", true);
    expectReadFault(0xBFBFFFFC, "Unhandled GIO Memory Address Read: 0xBFBFFFFC", true);
    expectReadFault(0xBFC00000, "Unhandled Memory Address Read: 0xBFC00000", true);
    // Past the ROM's end but inside 0x10000000-0x10FF9FFF.
    expectReadFault(0xB0FF9FFC, "Read beyond ROM size (0xB0FF9FFC)", true);
}

TEST_F(MemoryMapTest, PifAndOddRows) {
    EXPECT_EQ(memRead(0xBFC007C0), theMemory.pifRamOut);
    EXPECT_EQ(memRead(0xBFC007FC), theMemory.pifRamOut + 0x3C);
    expectReadFault(0xBFC007BC, "Unhandled Memory Address Read: 0xBFC007BC", true);
    expectReadFault(0xBFC00800, "Unhandled Memory Address Read: 0xBFC00800", true);
    expectReadFault(0xBFF00000, "***** Memory address 0xBFF00000 read ignored *****", false);
    emulationHalted = 0;
    // 0x7FFFF800 through an identity TLB-less KUSEG access.
    const uint8_t* strange = memRead(0x7FFFF800);
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(strange), 0x70707070u);
    EXPECT_NE(log().find("Damn_strange read!"), std::string::npos);
    EXPECT_FALSE(isEmulationHalted());
    expectReadFault(0x7FFFF804, "Unhandled Memory Address Read: 0x7FFFF804", true);
}

TEST_F(MemoryMapTest, WriteRows) {
    EXPECT_EQ(memWrite(0x80000000), theMemory.rdram);
    expectWriteFault(0xA0800000, "Unhandled RDRAM Memory Address Write: 0xA0800000");
    expectWriteFault(0xA3EFFFFC, "Unhandled RDRAM Memory Address Write: 0xA3EFFFFC");
    emulationHalted = 0;
    EXPECT_EQ(memWrite(0xA3F0000C), reinterpret_cast<uint8_t*>(&RDRAM_MODE_REG));
    const std::string before = log();
    EXPECT_EQ(memWrite(0xA3F04004), theMemory.dummyWord);
    EXPECT_EQ(log(), before) << "0x03F04004 is ignored silently";
    EXPECT_FALSE(isEmulationHalted());
    for (uint32_t p : {0x03F80004u, 0x03F80008u, 0x03F8000Cu, 0x03F80014u})
        EXPECT_EQ(memWrite(0xA0000000 | p), theMemory.rdramRegs + (p & 0xFF));
    EXPECT_FALSE(isEmulationHalted());
    // A load from 0x03F00000 is served, a store there halts.
    expectWriteFault(0xA3F00000, "Unhandled RDRAM regs Memory Address Write: 0xA3F00000");
    expectWriteFault(0xA3F80010, "Unhandled RDRAM regs Memory Address Write: 0xA3F80010");
    emulationHalted = 0;
    EXPECT_EQ(memWrite(0xA4000000), theMemory.hwRegs);
    EXPECT_EQ(memWrite(0xA48FFFFC), theMemory.hwRegs + 0x8FFFFC);
    expectWriteFault(0xA4900000, "Unhandled Memory Address Write: 0xA4900000");
    expectWriteFault(0xAFFFFFFC, "Unhandled Memory Address Write: 0xAFFFFFFC");
    emulationHalted = 0;
    // The ROM image is writable; cartBlockB is not, cartBlockD is.
    EXPECT_EQ(memWrite(0xB0000004), theRom.romImage.get() + 4);
    EXPECT_EQ(memWrite(0xB0FFD004), theMemory.cartBlockD + 4);
    EXPECT_FALSE(isEmulationHalted());
    expectWriteFault(0xB0FFB000, "Unhandled GIO Memory Address Write to: 0xB0FFB000");
    expectWriteFault(0xB0010000, "Unhandled GIO Memory Address Write to: 0xB0010000");
    expectWriteFault(0xB7FFFFFC, "Unhandled GIO Memory Address Write to: 0xB7FFFFFC");
}

TEST_F(MemoryMapTest, GioRegisterRowsAndTheirUpperEnd) {
    ScopedRecordingSink sink;
    emulationHalted = 0;
    EXPECT_EQ(memWrite(0xB8000000), reinterpret_cast<uint8_t*>(&gioIntrReg));
    EXPECT_EQ(sink->statusPart(2).rfind("Write to GIO Interrupt Register!", 0), 0u);
    EXPECT_FALSE(isEmulationHalted());
    expectWriteFault(0xB8000001, "Unhandled GIO Regs Memory Address Write to: 0xB8000001");
    // Physical 0x1F39FFFE is the last address of that row; 0x1F39FFFF falls to the last row.
    expectWriteFault(0xBF39FFFE, "Unhandled GIO Regs Memory Address Write to: 0xBF39FFFE");
    expectWriteFault(0xBF39FFFF, "Unhandled Memory Address Write: 0xBF39FFFF");
    emulationHalted = 0;
    EXPECT_EQ(memWrite(0xBFC007C0), theMemory.pifRamIn);
    EXPECT_EQ(memWrite(0xBFC007FF), theMemory.pifRamIn + 0x3F);
    expectWriteFault(0xBFC00800, "Unhandled Memory Address Write: 0xBFC00800");
}

TEST_F(MemoryMapTest, PifBuffersAreSeparate) {
    *reinterpret_cast<uint32_t*>(memWrite(0xBFC007C0)) = 0x12345678;
    EXPECT_EQ(*reinterpret_cast<uint32_t*>(memRead(0xBFC007C0)), 0u);
}

TEST_F(MemoryMapTest, ViCurrentRegisterStepsAndWraps) {
    VI_V_SYNC_REG = 6;
    uint32_t seen[5];
    for (uint32_t& v : seen)
        v = *reinterpret_cast<uint32_t*>(memRead(0xA4400010));
    EXPECT_EQ(seen[0], 2u);
    EXPECT_EQ(seen[1], 4u);
    EXPECT_EQ(seen[2], 6u);
    EXPECT_EQ(seen[3], 0u);
    EXPECT_EQ(seen[4], 2u);
    // A read that is no guest load (native routines) leaves the line alone.
    EXPECT_EQ(*reinterpret_cast<uint32_t*>(memPeek(0xA4400010)), 2u);
    EXPECT_EQ(*reinterpret_cast<uint32_t*>(memPeek(0xA4400010)), 2u);
}

TEST_F(MemoryMapTest, TlbTranslationOrsLowBitsAndHighestEntryWins) {
    tlb[2] = {};
    tlb[2].VALID = 1;
    tlb[2].VSTART = 0x00401000;
    tlb[2].VEND = 0x00403000;
    tlb[2].PHYSSTART = 0x00200000;
    EXPECT_EQ(translateAddress(0x00401000 + 0x1234),
              0x00200000u | ((0x00401000 + 0x1234) & 0xFFFFF));
    tlb[7] = tlb[2];
    tlb[7].PHYSSTART = 0x00300000;
    EXPECT_EQ(translateAddress(0x00401010), 0x00301010u);
    tlb[7].VALID = 0;
    EXPECT_EQ(translateAddress(0x00401010), 0x00201010u);
    // VEND is exclusive; KSEG addresses never consult the table.
    EXPECT_EQ(translateAddress(0x00403000), 0x00403000u);
    tlb[2].VSTART = 0x80000000;
    tlb[2].VEND = 0x80001000;
    EXPECT_EQ(translateAddress(0x80000010), 0x00000010u);
}

TEST_F(MemoryMapTest, DoublewordAtTheLastWordStaysInsideTheBlock) {
    // The spare bytes past each block make a two-word access at the last word safe.
    uint8_t* p = memRead(0x807FFFFC);
    EXPECT_EQ(p, theMemory.rdram + 0x7FFFFC);
    uint32_t second = 0;
    std::memcpy(&second, p + 4, 4);
    EXPECT_EQ(second, 0u);
}

} // namespace

namespace {

TEST(MemoryMapCells, DoublewordStoresToSingleWordTargetsStayInTheirCells) {
    resetBareMachine();
    const uint32_t modeBefore = RDRAM_MODE_REG;
    uint8_t* p = memWrite(0xA3F0000C);
    // A doubleword store writes the word at the pointer and the one after it.
    std::memset(p, 0xAB, 8);
    EXPECT_EQ(RDRAM_CONFIG_REG, 0u);
    EXPECT_NE(RDRAM_MODE_REG, modeBefore);
    p = memWrite(0xBFC007FC);
    std::memset(p, 0xCD, 8);
    EXPECT_EQ(theMemory.pifRamIn[63], 0xCD);
    RDRAM_MODE_REG = 0;
}

} // namespace
