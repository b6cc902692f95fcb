// The emulated console's memory blocks. All guest memory holds the guest's
// big-endian data as 32-bit words in host order: a guest byte is at its address
// XOR 3, a halfword at its address XOR 2, a doubleword is the word at its
// address (high half) followed by the word at address + 4 (low half).
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t RDRAM_SIZE = 0x800000;
constexpr uint32_t RDRAM_REGS_SIZE = 32;
constexpr uint32_t HW_REGS_SIZE = 0x900000;
constexpr uint32_t CART_BLOCK_SIZE = 4096;
constexpr uint32_t SP_DMEM_SIZE = 0x1000;
constexpr uint32_t PIF_RAM_SIZE = 64;
// Every heap block carries this many spare bytes past its end, so that a
// doubleword access at a block's last word stays inside the allocation.
constexpr uint32_t BLOCK_SLACK = 8;

class StateWriter;
class StateReader;

class CMemory {
  public:
    CMemory() = default;
    ~CMemory();
    CMemory(const CMemory&) = delete;
    CMemory& operator=(const CMemory&) = delete;

    // Releases earlier blocks, allocates and clears all blocks, copies the
    // first 4096 bytes of the ROM image into SP DMEM. Returns false (with all
    // blocks released) when an allocation fails.
    bool initMemory();
    // Releases the heap blocks and nulls their pointers.
    void freeMemory();

    // The memory's part of a saved state: every block, the PIF RAM, the
    // registers outside the register area and the pending effects
    // (mem_actions). Reading needs the blocks allocated (a running machine).
    void writeState(StateWriter& out) const;
    bool readState(StateReader& in);

    alignas(8) uint8_t dummyWord[8] = {};
    uint8_t* rdram = nullptr;
    uint8_t* rdramRegs = nullptr;
    uint8_t* hwRegs = nullptr;
    uint8_t* cartBlockB = nullptr;
    uint8_t* cartBlockD = nullptr;
    alignas(4) uint8_t pifRamOut[PIF_RAM_SIZE] = {};
    alignas(4) uint8_t pifRamIn[PIF_RAM_SIZE] = {};
    // Spare bytes: a doubleword store at the last word of pifRamIn lands here.
    uint8_t pifRamSpill[8] = {};
};

extern CMemory theMemory;

// Registers held outside the register area. Each is the first word of an
// 8-byte cell, so that a guest doubleword access to it stays in the cell.
extern uint32_t& RDRAM_CONFIG_REG;
extern uint32_t& RDRAM_MODE_REG;
extern uint32_t& gioIntrReg;

// Pending hardware-register effects: two words (low, high); only the low word
// is used and translated code tests it alone.
extern uint32_t mem_actions[2];
// The bit of mem_actions that runs the signal processor's task once the block
// has ended: set by the SP_STATUS_REG store that releases the halt and by the
// native task start. (The other bits are the devices' own, hw/mem_action_bits.h.)
constexpr uint32_t ACTION_SP_TASK = 1u << 17;

// The guest OS variable osRomBase (RDRAM offset 0x308).
inline uint32_t& osRomBase() {
    return *reinterpret_cast<uint32_t*>(theMemory.rdram + 0x308);
}

// Reads and writes a guest word of a host-order block at a byte offset.
inline uint32_t& blockWord(uint8_t* block, uint32_t offset) {
    return *reinterpret_cast<uint32_t*>(block + offset);
}
