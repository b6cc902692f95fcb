#include "core/memory.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/log.h"
#include "base/state_stream.h"
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
    // Failed accesses and the registers outside the register area start from
    // zero too, so that nothing of an earlier run shows through.
    std::memset(dummyWord, 0, sizeof dummyWord);
    std::memset(outsideRegisterCells, 0, sizeof outsideRegisterCells);
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

namespace {

struct BlockRef {
    uint8_t* data;
    uint32_t size;
};

// The memory blocks a saved state holds, in the order it holds them.
std::array<BlockRef, 5> stateBlocks(const CMemory& m) {
    return {{{m.rdram, RDRAM_SIZE},
             {m.rdramRegs, RDRAM_REGS_SIZE},
             {m.hwRegs, HW_REGS_SIZE},
             {m.cartBlockB, CART_BLOCK_SIZE},
             {m.cartBlockD, CART_BLOCK_SIZE}}};
}

} // namespace

void CMemory::writeState(StateWriter& out) const {
    out.beginPart("MEM ");
    for (const BlockRef& b : stateBlocks(*this)) {
        out.put(b.size);
        out.raw(b.data, b.size);
    }
    out.putRecord(dummyWord);
    out.putRecord(pifRamOut);
    out.putRecord(pifRamIn);
    out.putRecord(pifRamSpill);
    out.putRecord(outsideRegisterCells);
    out.putRecord(mem_actions);
    out.endPart();
}

bool CMemory::readState(StateReader& in) {
    if (!rdram) {
        in.fail("the machine's memory is not set up");
        return false;
    }
    in.beginPart("MEM ");
    for (const BlockRef& b : stateBlocks(*this)) {
        uint32_t size = 0;
        in.get(size);
        if (in.ok() && size != b.size) in.fail("a memory block of another size");
        in.block(b.data, b.size);
    }
    uint8_t dummy[sizeof dummyWord], out[PIF_RAM_SIZE], inRam[PIF_RAM_SIZE];
    uint8_t spill[sizeof pifRamSpill];
    uint32_t cells[3][2], actions[2];
    in.getRecord(dummy);
    in.getRecord(out);
    in.getRecord(inRam);
    in.getRecord(spill);
    in.getRecord(cells);
    in.getRecord(actions);
    if (!in.endPart()) return false;
    if (!in.applying()) return true;
    std::memcpy(dummyWord, dummy, sizeof dummy);
    std::memcpy(pifRamOut, out, sizeof out);
    std::memcpy(pifRamIn, inRam, sizeof inRam);
    std::memcpy(pifRamSpill, spill, sizeof spill);
    std::memcpy(outsideRegisterCells, cells, sizeof cells);
    std::memcpy(mem_actions, actions, sizeof actions);
    return true;
}
