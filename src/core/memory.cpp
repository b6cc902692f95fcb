#include "core/memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "base/log.h"
#include "core/rom_file.h"

CMemory theMemory;

namespace {
alignas(8) uint32_t outsideRegisterCells[3][2] = {};
} // namespace

uint32_t& RDRAM_CONFIG_REG = outsideRegisterCells[0][0];
uint32_t& RDRAM_MODE_REG = outsideRegisterCells[1][0];
uint32_t& gioIntrReg = outsideRegisterCells[2][0];

alignas(8) uint32_t mem_actions[2] = {0, 0};

namespace {

uint8_t* allocateBlock(uint32_t size) {
    return static_cast<uint8_t*>(std::calloc(size + BLOCK_SLACK, 1));
}

void releaseBlock(uint8_t*& block) {
    std::free(block);
    block = nullptr;
}

} // namespace

CMemory::~CMemory() {
    freeMemory();
}

bool CMemory::initMemory() {
    freeMemory();
    rdram = allocateBlock(RDRAM_SIZE);
    rdramRegs = allocateBlock(RDRAM_REGS_SIZE);
    hwRegs = allocateBlock(HW_REGS_SIZE);
    cartBlockB = allocateBlock(CART_BLOCK_SIZE);
    cartBlockD = allocateBlock(CART_BLOCK_SIZE);
    if (!rdram || !rdramRegs || !hwRegs || !cartBlockB || !cartBlockD) {
        freeMemory();
        return false;
    }
    std::memset(pifRamOut, 0, sizeof pifRamOut);
    std::memset(pifRamIn, 0, sizeof pifRamIn);
    std::memset(pifRamSpill, 0, sizeof pifRamSpill);
    // The boot copy: cartridge header and boot code into SP DMEM, where the
    // boot PC 0xA4000040 finds them.
    if (theRom.romSize != 0 && theRom.romImage) {
        std::memcpy(hwRegs, theRom.romImage.get(),
                    theRom.romSize < SP_DMEM_SIZE ? theRom.romSize : SP_DMEM_SIZE);
    }
    return true;
}

void CMemory::freeMemory() {
    releaseBlock(rdram);
    releaseBlock(rdramRegs);
    releaseBlock(hwRegs);
    releaseBlock(cartBlockB);
    releaseBlock(cartBlockD);
}
