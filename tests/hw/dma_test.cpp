#include <cstring>

#include "core/rom_file.h"
#include "hw/dma.h"
#include "hw_test_support.h"

namespace {

class Dma : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        // An image whose every word holds its own offset, as the guest reads it.
        theRom.romSize = ROM_SIZE;
        theRom.romImage = std::make_unique<uint8_t[]>(ROM_SIZE + 8);
        for (uint32_t i = 0; i < ROM_SIZE; i += 4)
            romWord(i) = 0xC0000000 | i;
    }
    void TearDown() override {
        theRom.freeImage();
        DeviceTest::TearDown();
    }
    static uint32_t& romWord(uint32_t offset) { return blockWord(theRom.romImage.get(), offset); }
    static void fillRdram(uint32_t offset, uint32_t length, uint8_t value) {
        std::memset(theMemory.rdram + offset, value, length);
    }
    bool logHas(const std::string& text) { return openLogText().find(text) != std::string::npos; }

    static constexpr uint32_t ROM_SIZE = 0x10000;
};

TEST_F(Dma, PiCartridgeToRdramCopiesGuestWordsAndRaisesPi) {
    fillRdram(0x200000, 0x1100, 0xAA);
    store(PI_DRAM_ADDR_REG_ADDR, 0x00200000);
    store(PI_CART_ADDR_REG_ADDR, 0x10001000);
    storeAndProcess(PI_WR_LEN_REG_ADDR, 0x0FFF);
    EXPECT_EQ(guestWord(0x200000), 0xC0001000u);
    EXPECT_EQ(guestWord(0x200FFC), 0xC0001FFCu);
    EXPECT_EQ(guestWord(0x201000), 0xAAAAAAAAu) << "one byte too many";
    EXPECT_EQ(MI_INTR_REG & MI_INTR_PI, uint32_t(MI_INTR_PI));
    EXPECT_FALSE(logHas("clamped"));
}

TEST_F(Dma, PiCartridgeToRdramReadsZerosPastTheImage) {
    fillRdram(0x100000, 0x3000, 0xAA);
    PI_DRAM_ADDR_REG = 0x00100000;
    PI_CART_ADDR_REG = 0x10000000 + ROM_SIZE - 0x800;
    PI_WR_LEN_REG = 0x1FFF;
    piDmaWrite();
    EXPECT_EQ(guestWord(0x100000), 0xC0000000u | (ROM_SIZE - 0x800));
    EXPECT_EQ(guestWord(0x1007FC), 0xC0000000u | (ROM_SIZE - 4));
    EXPECT_EQ(guestWord(0x100800), 0u);
    EXPECT_EQ(guestWord(0x101FFC), 0u);
    EXPECT_EQ(guestWord(0x102000), 0xAAAAAAAAu);

    // From the SRAM domain, beyond any image: all zeros.
    fillRdram(0x100000, 0x100, 0xAA);
    PI_CART_ADDR_REG = 0x08000000;
    PI_WR_LEN_REG = 0x7F;
    piDmaWrite();
    EXPECT_EQ(guestWord(0x100000), 0u);
    EXPECT_EQ(guestWord(0x10007C), 0u);
    EXPECT_EQ(guestWord(0x100080), 0xAAAAAAAAu);

    // Without any image loaded.
    theRom.freeImage();
    fillRdram(0x100000, 0x100, 0xAA);
    piDmaWrite();
    EXPECT_EQ(guestWord(0x10007C), 0u);
    EXPECT_FALSE(logHas("clamped")) << "the zero fill is no clamp";
}

TEST_F(Dma, PiCartridgeToRdramStopsAtTheEndOfRdram) {
    PI_DRAM_ADDR_REG = RDRAM_SIZE - 0x10;
    PI_CART_ADDR_REG = 0x10000000;
    PI_WR_LEN_REG = 0xFFFFFFFF; // count and skip fields make it huge
    piDmaWrite();
    EXPECT_EQ(guestWord(RDRAM_SIZE - 0x10), 0xC0000000u);
    EXPECT_EQ(guestWord(RDRAM_SIZE - 4), 0xC000000Cu);
    EXPECT_TRUE(logHas("DMA cartridge to RDRAM clamped: PI_DRAM_ADDR_REG=0x007FFFF0 "
                       "PI_CART_ADDR_REG=0x10000000 PI_WR_LEN_REG=0xFFFFFFFF"));
    EXPECT_EQ(MI_INTR_REG & MI_INTR_PI, uint32_t(MI_INTR_PI));
}

TEST_F(Dma, PiRdramToCartridgeChangesTheImageWithinItsBounds) {
    setGuestWord(0x300000, 0x11223344);
    setGuestWord(0x300004, 0x55667788);
    store(PI_DRAM_ADDR_REG_ADDR, 0x80300000);
    store(PI_CART_ADDR_REG_ADDR, 0x10000100);
    storeAndProcess(PI_RD_LEN_REG_ADDR, 7);
    EXPECT_EQ(romWord(0x100), 0x11223344u);
    EXPECT_EQ(romWord(0x104), 0x55667788u);
    EXPECT_EQ(romWord(0x108), 0xC0000108u);
    EXPECT_EQ(MI_INTR_REG & MI_INTR_PI, uint32_t(MI_INTR_PI));

    // A save to the SRAM domain lies outside the image: nothing is written.
    MI_INTR_REG = 0;
    PI_CART_ADDR_REG = 0x08000000;
    PI_RD_LEN_REG = 0x7FFF;
    piDmaRead();
    EXPECT_TRUE(logHas("DMA RDRAM to cartridge clamped: PI_DRAM_ADDR_REG=0x80300000 "
                       "PI_CART_ADDR_REG=0x08000000 PI_RD_LEN_REG=0x00007FFF"));
    EXPECT_EQ(MI_INTR_REG & MI_INTR_PI, uint32_t(MI_INTR_PI));

    // Crossing the end of the image: only the part inside is written.
    PI_CART_ADDR_REG = 0x10000000 + ROM_SIZE - 4;
    PI_RD_LEN_REG = 7;
    piDmaRead();
    EXPECT_EQ(romWord(ROM_SIZE - 4), 0x11223344u);
    EXPECT_EQ(romWord(ROM_SIZE), 0u) << "the spare bytes past the image stay untouched";
}

TEST_F(Dma, SpDmaFillsDmemOrImemAndClampsAtEightKilobytes) {
    for (uint32_t i = 0; i < 0x2000; i += 4)
        setGuestWord(0x10000 + i, 0xD0000000 | i);
    hwRegister(0x04001000) = 0xEEEEEEEE;
    store(SP_MEM_ADDR_REG_ADDR, 0x0000);
    store(SP_DRAM_ADDR_REG_ADDR, 0x00010000);
    storeAndProcess(SP_RD_LEN_REG_ADDR, 0xFFF);
    EXPECT_EQ(hwRegister(0x04000000), 0xD0000000u);
    EXPECT_EQ(hwRegister(0x04000FFC), 0xD0000FFCu);
    EXPECT_EQ(hwRegister(0x04001000), 0xEEEEEEEEu) << "exactly 4096 bytes";
    EXPECT_EQ(MI_INTR_REG, 0u) << "SP DMA raises nothing";

    SP_MEM_ADDR_REG = 0x1000; // bit 12: IMEM
    spDma();
    EXPECT_EQ(hwRegister(0x04001000), 0xD0000000u);
    EXPECT_EQ(hwRegister(0x04001FFC), 0xD0000FFCu);
    EXPECT_FALSE(logHas("clamped"));

    // A length with count and skip fields runs past SP memory.
    const uint32_t beyond = hwRegister(0x04002000);
    SP_MEM_ADDR_REG = 0x1F00;
    SP_RD_LEN_REG = 0x00100FFF;
    spDma();
    EXPECT_EQ(hwRegister(0x04001F00), 0xD0000000u);
    EXPECT_EQ(hwRegister(0x04001FFC), 0xD00000FCu);
    EXPECT_EQ(hwRegister(0x04002000), beyond);
    EXPECT_TRUE(logHas("DMA RDRAM to SP memory clamped: SP_MEM_ADDR_REG=0x00001F00 "
                       "SP_DRAM_ADDR_REG=0x00010000 SP_RD_LEN_REG=0x00100FFF"));

    // A source beyond RDRAM copies nothing.
    SP_MEM_ADDR_REG = 0;
    SP_DRAM_ADDR_REG = 0x1F000000;
    SP_RD_LEN_REG = 0xF;
    spDma();
    EXPECT_EQ(hwRegister(0x04000000), 0xD0000000u);
}

TEST_F(Dma, SiTransfersMoveSixtyFourBytes) {
    for (uint32_t i = 0; i < 64; i += 4)
        setGuestWord(0x1000 + i, 0x01020304 + i);
    store(SI_DRAM_ADDR_REG_ADDR, 0x00001000);
    storeAndProcess(SI_PIF_ADDR_WR64B_REG_ADDR, 0x12345678); // the address is not examined
    EXPECT_EQ(std::memcmp(theMemory.pifRamIn, theMemory.rdram + 0x1000, 64), 0);
    EXPECT_EQ(MI_INTR_REG & MI_INTR_SI, uint32_t(MI_INTR_SI));
    EXPECT_EQ(SI_STATUS_REG & 0x1000, 0x1000u);

    for (uint32_t i = 0; i < 64; ++i)
        theMemory.pifRamOut[i] = uint8_t(0x80 + i);
    SI_DRAM_ADDR_REG = 0x2000;
    SI_PIF_ADDR_RD64B_REG = 0xBFC007C0;
    MI_INTR_REG = 0;
    siDmaRead();
    EXPECT_EQ(std::memcmp(theMemory.rdram + 0x2000, theMemory.pifRamOut, 64), 0);
    EXPECT_EQ(MI_INTR_REG & MI_INTR_SI, uint32_t(MI_INTR_SI));
    EXPECT_FALSE(isEmulationHalted());
}

TEST_F(Dma, SiReadFromAnotherPifAddressHaltsAndCopiesNothing) {
    fillRdram(0x2000, 64, 0xAA);
    std::memset(theMemory.pifRamOut, 0x55, 64);
    SI_DRAM_ADDR_REG = 0x2000;
    SI_PIF_ADDR_RD64B_REG = 0x1FC007C4;
    siDmaRead();
    EXPECT_TRUE(isEmulationHalted());
    EXPECT_EQ(guestWord(0x2000), 0xAAAAAAAAu);
    EXPECT_EQ(MI_INTR_REG & MI_INTR_SI, 0u);
    EXPECT_TRUE(logHas("DMA Transfer from other PIF-address than 0x1FC007C0. Addr=0x1FC007C4"));
}

TEST_F(Dma, SiTransfersAtTheEndOfRdramAreClamped) {
    std::memset(theMemory.pifRamIn, 0x55, 64);
    std::memset(theMemory.pifRamOut, 0x66, 64);
    fillRdram(RDRAM_SIZE - 32, 32, 0x77);
    SI_DRAM_ADDR_REG = RDRAM_SIZE - 32;
    siDmaWrite();
    EXPECT_EQ(theMemory.pifRamIn[0], 0x77);
    EXPECT_EQ(theMemory.pifRamIn[32], 0x55);
    SI_PIF_ADDR_RD64B_REG = 0x1FC007C0;
    siDmaRead();
    EXPECT_EQ(theMemory.rdram[RDRAM_SIZE - 1], 0x66);
    EXPECT_TRUE(logHas("DMA RDRAM to PIF RAM clamped: SI_DRAM_ADDR_REG=0x007FFFE0"));
    EXPECT_TRUE(logHas("DMA PIF RAM to RDRAM clamped: SI_DRAM_ADDR_REG=0x007FFFE0"));
}

} // namespace
