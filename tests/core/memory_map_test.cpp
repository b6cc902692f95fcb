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

// Boots a bare machine with a zeroed 64 KiB ROM image and a log file.
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
    // Expects an access of `vaddr` to land on the scratch word, with the halt
    // flag as given.
    void expectFault(uint8_t* (*access)(uint32_t), uint32_t vaddr, bool halts) {
        emulationHalted = 0;
        EXPECT_EQ(access(vaddr), theMemory.dummyWord) << std::hex << vaddr;
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

// Accesses that no block serves land on the scratch word; some rows halt the
// emulation, the cartridge domains and the PIF's far end only log.
struct FaultRow {
    uint32_t vaddr;
    bool halts;
};

TEST_F(MemoryMapTest, ReadRowsAtTheirBoundaries) {
    const FaultRow faults[] = {
        {0xA0800000, true},  {0xA3EFFFFC, true},  {0xA3F00004, true},      {0xA3FFFFFC, true},
        {0xA4900000, true},  {0xA5000000, false}, {0xA5FFFFFC ^ 3, false}, {0xA6000000, false},
        {0xA7FFFFFC, false}, {0xA8000000, false}, {0xAFFFFFFC, false},     {0xB0010000, true},
        {0xB0FF9FFC, true},  {0xB0FFA000, true},  {0xB0FFC000, true},      {0xB0FFE000, true},
        {0xBFBFFFFC, true},  {0xBFC00000, true},  {0xBFC007BC, true},      {0xBFC00800, true},
        {0xBFF00000, false}, {0x7FFFF804, true}};
    for (const FaultRow& f : faults)
        expectFault(memRead, f.vaddr, f.halts);
    // The log names the address and, past the image, where the image ends.
    EXPECT_NE(openLogText().find("Supposedly Unused RDRAM Memory Address Read: 0xA0800000"),
              std::string::npos);
    EXPECT_NE(openLogText().find("Read beyond ROM size (0xB0010000), ROM ends @ 0xB0010000!"),
              std::string::npos);
    emulationHalted = 0;
    const struct {
        uint32_t vaddr;
        const uint8_t* served;
    } served[] = {{0xA3F00000, reinterpret_cast<uint8_t*>(&RDRAM_CONFIG_REG)},
                  {0xA3F0000C, reinterpret_cast<uint8_t*>(&RDRAM_MODE_REG)},
                  {0xA4000000, theMemory.hwRegs},
                  {0xA48FFFFC, theMemory.hwRegs + 0x8FFFFC},
                  {0xB0000000, theRom.romImage.get()},
                  {0xB000FFFC, theRom.romImage.get() + 0xFFFC},
                  {0xB0FFB000, theMemory.cartBlockB},
                  {0xB0FFBFFC, theMemory.cartBlockB + 0xFFC},
                  {0xB0FFD000, theMemory.cartBlockD},
                  {0xB0FFDFFC, theMemory.cartBlockD + 0xFFC},
                  {0xBFC007C0, theMemory.pifRamOut},
                  {0xBFC007FC, theMemory.pifRamOut + 0x3C}};
    for (const auto& r : served)
        EXPECT_EQ(memRead(r.vaddr), r.served) << std::hex << r.vaddr;
    // 0x7FFFF800 through a TLB-less KUSEG access: a fixed pattern.
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(memRead(0x7FFFF800)), 0x70707070u);
    EXPECT_FALSE(isEmulationHalted());
}

TEST_F(MemoryMapTest, WriteRows) {
    const FaultRow faults[] = {{0xA0800000, true}, {0xA3EFFFFC, true}, {0xA3F00000, true},
                               {0xA3F80010, true}, {0xA4900000, true}, {0xAFFFFFFC, true},
                               {0xB0FFB000, true}, {0xB0010000, true}, {0xB7FFFFFC, true},
                               {0xB8000001, true}, {0xBF39FFFE, true}, {0xBF39FFFF, true},
                               {0xBFC00800, true}};
    for (const FaultRow& f : faults)
        expectFault(memWrite, f.vaddr, f.halts);
    EXPECT_NE(openLogText().find("Unhandled GIO Memory Address Write to: 0xB0FFB000"),
              std::string::npos);
    emulationHalted = 0;
    const std::string before = openLogText();
    EXPECT_EQ(memWrite(0xA3F04004), theMemory.dummyWord);
    EXPECT_EQ(openLogText(), before) << "0x03F04004 is ignored silently";
    const struct {
        uint32_t vaddr;
        const uint8_t* served;
    } served[] = {{0x80000000, theMemory.rdram},
                  {0xA3F0000C, reinterpret_cast<uint8_t*>(&RDRAM_MODE_REG)},
                  {0xA3F80004, theMemory.rdramRegs + 0x04},
                  {0xA3F80014, theMemory.rdramRegs + 0x14},
                  {0xA4000000, theMemory.hwRegs},
                  {0xA48FFFFC, theMemory.hwRegs + 0x8FFFFC},
                  {0xB0000004, theRom.romImage.get() + 4}, // the image is writable
                  {0xB0FFD004, theMemory.cartBlockD + 4},
                  {0xBFC007C0, theMemory.pifRamIn},
                  {0xBFC007FF, theMemory.pifRamIn + 0x3F}};
    for (const auto& r : served)
        EXPECT_EQ(memWrite(r.vaddr), r.served) << std::hex << r.vaddr;
    ScopedRecordingSink sink;
    EXPECT_EQ(memWrite(0xB8000000), reinterpret_cast<uint8_t*>(&gioIntrReg));
    EXPECT_EQ(sink->statusPart(2).rfind("Write to GIO Interrupt Register!", 0), 0u);
    EXPECT_FALSE(isEmulationHalted());
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
