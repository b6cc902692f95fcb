#include "core/memory_map.h"

#include "base/log.h"
#include "core/hw_registers.h"
#include "core/machine.h"
#include "core/memory.h"
#include "core/register_area.h"
#include "core/rom_file.h"
#include "core/tlb.h"

namespace {

// The word returned only for the read at physical 0x7FFFF800 ("pppp").
alignas(8) uint32_t strangeWord[2] = {0x70707070, 0};

uint8_t* dummy() {
    return theMemory.dummyWord;
}

uint8_t* failRead(const char* format, uint32_t vaddr) {
    logLine(format, vaddr);
    haltEmulation();
    return dummy();
}

uint8_t* failWrite(const char* format, uint32_t vaddr) {
    return failRead(format, vaddr);
}

uint8_t* classifyRead(uint32_t vaddr, uint32_t p, bool guestLoad) {
    if (p < 0x00800000) return theMemory.rdram + p;
    if (p < 0x03F00000)
        return failRead("Supposedly Unused RDRAM Memory Address Read: 0x%08X", vaddr);
    if (p == 0x03F00000) return reinterpret_cast<uint8_t*>(&RDRAM_CONFIG_REG);
    if (p == 0x03F0000C) return reinterpret_cast<uint8_t*>(&RDRAM_MODE_REG);
    if (p < 0x04000000) return failRead("Unhandled RDRAM regs Memory Address Read: 0x%08X", vaddr);
    if (p < 0x04900000) return guestLoad ? registerLoadTarget(p) : registerWord(p);
    if (p >= 0x05000000 && p < 0x06000000) {
        logLine("Read from Cartridge Domain 2.. Ignored");
        return dummy();
    }
    if (p >= 0x06000000 && p < 0x08000000) {
        logLine("Read from Cartridge Domain 3.. N64Drive?");
        return dummy();
    }
    if (p >= 0x10000000 && p < 0x10FFA000) {
        if (p - 0x10000000 < theRom.romSize) return theRom.romImage.get() + (p & 0x0FFFFFFF);
        logLine("Read beyond ROM size (0x%08X), ROM ends @ 0x%08X!", vaddr,
                theRom.romSize | 0xB0000000);
        haltEmulation();
        return dummy();
    }
    if (p >= 0x10FFB000 && p < 0x10FFC000) return theMemory.cartBlockB + (p & 0xFFF);
    if (p >= 0x10FFD000 && p < 0x10FFE000) return theMemory.cartBlockD + (p & 0xFFF);
    if (p >= 0x10FFA000 && p < 0x1FC00000)
        return failRead("Unhandled GIO Memory Address Read: 0x%08X", vaddr);
    if (p >= 0x1FC007C0 && p < 0x1FC00800) return theMemory.pifRamOut + (p - 0x1FC007C0);
    if (p == 0x1FF00000) {
        logLine("***** Memory address 0xBFF00000 read ignored *****");
        return dummy();
    }
    if (p >= 0x08000000 && p < 0x10000000) {
        logLine("SRAM read: 0x%08X (Ignored)", vaddr);
        return dummy();
    }
    if (p == 0x7FFFF800) {
        logLine("Damn_strange read!");
        return reinterpret_cast<uint8_t*>(strangeWord);
    }
    return failRead("Unhandled Memory Address Read: 0x%08X", vaddr);
}

uint8_t* classifyWrite(uint32_t vaddr, uint32_t p) {
    if (p < 0x00800000) return theMemory.rdram + p;
    if (p < 0x03F00000) return failWrite("Unhandled RDRAM Memory Address Write: 0x%08X", vaddr);
    if (p == 0x03F0000C) return reinterpret_cast<uint8_t*>(&RDRAM_MODE_REG);
    if (p == 0x03F04004) return dummy();
    if (p == 0x03F80004 || p == 0x03F80008 || p == 0x03F8000C || p == 0x03F80014)
        return theMemory.rdramRegs + (p & 0xFF);
    if (p < 0x04000000)
        return failWrite("Unhandled RDRAM regs Memory Address Write: 0x%08X", vaddr);
    if (p < 0x04900000) return registerStoreTarget(p);
    if (p >= 0x10000000 && p < 0x18000000) {
        if (p < 0x10FFA000 && p - 0x10000000 < theRom.romSize)
            return theRom.romImage.get() + (p - 0x10000000);
        if (p >= 0x10FFD000 && p < 0x10FFE000) return theMemory.cartBlockD + (p & 0xFFF);
        return failWrite("Unhandled GIO Memory Address Write to: 0x%08X", vaddr);
    }
    if (p == 0x18000000) {
        statusMessage("Write to GIO Interrupt Register!");
        return reinterpret_cast<uint8_t*>(&gioIntrReg);
    }
    if (p > 0x18000000 && p <= 0x1F39FFFE)
        return failWrite("Unhandled GIO Regs Memory Address Write to: 0x%08X", vaddr);
    if (p >= 0x1FC007C0 && p < 0x1FC00800) return theMemory.pifRamIn + (p - 0x1FC007C0);
    return failWrite("Unhandled Memory Address Write: 0x%08X", vaddr);
}

} // namespace

uint32_t translateAddress(uint32_t vaddr) {
    if (vaddr - 0x80000000u < 0x40000000u) return vaddr & 0x1FFFFFFF;
    uint32_t physical = vaddr;
    tlbTranslate(vaddr, physical);
    return physical;
}

uint8_t* memRead(uint32_t vaddr) {
    // The common case first: KSEG0/KSEG1 into RDRAM.
    if (vaddr - 0x80000000u < 0x40000000u) {
        const uint32_t p = vaddr & 0x1FFFFFFF;
        if (p < RDRAM_SIZE) return theMemory.rdram + p;
        return classifyRead(vaddr, p, true);
    }
    return classifyRead(vaddr, translateAddress(vaddr), true);
}

uint8_t* memPeek(uint32_t vaddr) {
    return classifyRead(vaddr, translateAddress(vaddr), false);
}

uint8_t* memWrite(uint32_t vaddr) {
    if (vaddr - 0x80000000u < 0x40000000u) {
        const uint32_t p = vaddr & 0x1FFFFFFF;
        if (p < RDRAM_SIZE) return theMemory.rdram + p;
        return classifyWrite(vaddr, p);
    }
    return classifyWrite(vaddr, translateAddress(vaddr));
}
