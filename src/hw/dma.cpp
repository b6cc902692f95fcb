#include "hw/dma.h"

#include <algorithm>
#include <cstring>

#include "base/log.h"
#include "core/hw_registers.h"
#include "core/machine.h"
#include "core/memory.h"
#include "core/rom_file.h"
#include "cpu/interrupts.h"
#include "cpu/recompiler/code_pages.h"

namespace {

constexpr uint32_t SP_MEMORY_SIZE = 0x2000;
constexpr uint32_t PIF_RAM_ADDRESS = 0x1FC007C0;

uint32_t rdramOffset(uint32_t reg) {
    return reg & 0x1FFFFFFF;
}

// Bytes of a block of `size` bytes that lie from `offset` on.
uint64_t roomFrom(uint32_t offset, uint64_t size) {
    return offset < size ? size - offset : 0;
}

// Copies between two blocks at byte offsets; the offsets are only applied when
// something is copied, since an empty transfer may start past a block's end.
void copyBytes(uint8_t* toBlock, uint64_t toOffset, const uint8_t* fromBlock, uint64_t fromOffset,
               uint64_t length) {
    if (length != 0) std::memmove(toBlock + toOffset, fromBlock + fromOffset, length);
}

} // namespace

void spDma() {
    if (!theMemory.rdram || !theMemory.hwRegs) return;
    const uint64_t length = uint64_t(SP_RD_LEN_REG) + 1;
    const uint32_t from = rdramOffset(SP_DRAM_ADDR_REG);
    const uint32_t to = SP_MEM_ADDR_REG & 0x1FFF;
    const uint64_t copied =
        std::min({length, roomFrom(from, RDRAM_SIZE), roomFrom(to, SP_MEMORY_SIZE)});
    copyBytes(theMemory.hwRegs, to, theMemory.rdram, from, copied);
    noteSpMemoryWrite(to, copied);
    if (copied < length) {
        logLine("DMA RDRAM to SP memory clamped: SP_MEM_ADDR_REG=0x%08X SP_DRAM_ADDR_REG=0x%08X "
                "SP_RD_LEN_REG=0x%08X",
                SP_MEM_ADDR_REG, SP_DRAM_ADDR_REG, SP_RD_LEN_REG);
    }
}

void piDmaWrite() {
    if (!theMemory.rdram) return;
    const uint64_t length = uint64_t(PI_WR_LEN_REG) + 1;
    const uint32_t cartOffset = PI_CART_ADDR_REG & 0x0FFFFFFF;
    const uint32_t to = rdramOffset(PI_DRAM_ADDR_REG);
    const uint64_t room = roomFrom(to, RDRAM_SIZE);
    const uint64_t written = std::min(length, room);
    // What the image still holds is copied; the rest of the transfer reads zeros.
    const uint64_t available = theRom.romImage ? roomFrom(cartOffset, theRom.romSize) : 0;
    const uint64_t copied = std::min(written, available);
    copyBytes(theMemory.rdram, to, theRom.romImage.get(), cartOffset, copied);
    if (written > copied) std::memset(theMemory.rdram + to + copied, 0, written - copied);
    noteRdramWrite(to, written);
    if (written < length) {
        logLine("DMA cartridge to RDRAM clamped: PI_DRAM_ADDR_REG=0x%08X PI_CART_ADDR_REG=0x%08X "
                "PI_WR_LEN_REG=0x%08X",
                PI_DRAM_ADDR_REG, PI_CART_ADDR_REG, PI_WR_LEN_REG);
    }
    raisePiInterrupt();
}

void piDmaRead() {
    if (!theMemory.rdram) return;
    const uint64_t length = uint64_t(PI_RD_LEN_REG) + 1;
    const uint32_t from = rdramOffset(PI_DRAM_ADDR_REG);
    const uint32_t cartOffset = PI_CART_ADDR_REG & 0x0FFFFFFF;
    const uint64_t imageRoom = theRom.romImage ? roomFrom(cartOffset, theRom.romSize) : 0;
    const uint64_t copied = std::min({length, roomFrom(from, RDRAM_SIZE), imageRoom});
    copyBytes(theRom.romImage.get(), cartOffset, theMemory.rdram, from, copied);
    if (copied < length) {
        logLine("DMA RDRAM to cartridge clamped: PI_DRAM_ADDR_REG=0x%08X PI_CART_ADDR_REG=0x%08X "
                "PI_RD_LEN_REG=0x%08X",
                PI_DRAM_ADDR_REG, PI_CART_ADDR_REG, PI_RD_LEN_REG);
    }
    raisePiInterrupt();
}

void siDmaWrite() {
    if (!theMemory.rdram) return;
    const uint32_t from = rdramOffset(SI_DRAM_ADDR_REG);
    const uint64_t copied = std::min<uint64_t>(PIF_RAM_SIZE, roomFrom(from, RDRAM_SIZE));
    copyBytes(theMemory.pifRamIn, 0, theMemory.rdram, from, copied);
    if (copied < PIF_RAM_SIZE) {
        logLine("DMA RDRAM to PIF RAM clamped: SI_DRAM_ADDR_REG=0x%08X "
                "SI_PIF_ADDR_WR64B_REG=0x%08X",
                SI_DRAM_ADDR_REG, SI_PIF_ADDR_WR64B_REG);
    }
    raiseSiInterrupt();
}

void siDmaRead() {
    if (!theMemory.rdram) return;
    if ((SI_PIF_ADDR_RD64B_REG & 0x1FFFFFFF) != PIF_RAM_ADDRESS) {
        logLine("DMA Transfer from other PIF-address than 0x1FC007C0. Addr=0x%08X",
                SI_PIF_ADDR_RD64B_REG);
        haltEmulation();
        return;
    }
    const uint32_t to = rdramOffset(SI_DRAM_ADDR_REG);
    const uint64_t copied = std::min<uint64_t>(PIF_RAM_SIZE, roomFrom(to, RDRAM_SIZE));
    copyBytes(theMemory.rdram, to, theMemory.pifRamOut, 0, copied);
    noteRdramWrite(to, copied);
    if (copied < PIF_RAM_SIZE) {
        logLine("DMA PIF RAM to RDRAM clamped: SI_DRAM_ADDR_REG=0x%08X "
                "SI_PIF_ADDR_RD64B_REG=0x%08X",
                SI_DRAM_ADDR_REG, SI_PIF_ADDR_RD64B_REG);
    }
    raiseSiInterrupt();
}
