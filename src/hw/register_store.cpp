#include "hw/register_store.h"

#include "core/hw_registers.h"
#include "core/memory.h"
#include "hw/mem_action_bits.h"

namespace {

// One doubleword per latch: word 0 takes the guest's store, word 1 the low half
// of a doubleword store, which is dropped.
alignas(8) uint32_t latchSlots[static_cast<int>(WriteLatch::Count)][2] = {};

uint8_t* latchTarget(WriteLatch latch, uint32_t action) {
    mem_actions[0] |= action;
    return reinterpret_cast<uint8_t*>(&latchedStore(latch));
}

uint8_t* markedRegister(uint32_t p, uint32_t action) {
    mem_actions[0] |= action;
    return theMemory.hwRegs + (p & 0x00FFFFFF);
}

} // namespace

uint32_t& latchedStore(WriteLatch latch) {
    return latchSlots[static_cast<int>(latch)][0];
}

uint8_t* regStoreTarget(uint32_t p) {
    switch (p) {
    case SP_RD_LEN_REG_ADDR:
        return markedRegister(p, ACTION_SP_DMA);
    case SP_STATUS_REG_ADDR:
        return latchTarget(WriteLatch::SpStatus, ACTION_SP_STATUS);
    case DPC_STATUS_REG_ADDR:
        return latchTarget(WriteLatch::DpcStatus, ACTION_DPC_STATUS);
    case MI_MODE_REG_ADDR:
        return latchTarget(WriteLatch::MiMode, ACTION_MI);
    case MI_INTR_MASK_REG_ADDR:
        return latchTarget(WriteLatch::MiIntrMask, ACTION_MI);
    case VI_ORIGIN_REG_ADDR:
        return markedRegister(p, ACTION_VI_ORIGIN);
    case VI_WIDTH_REG_ADDR:
        return markedRegister(p, ACTION_VI_WIDTH);
    case VI_CURRENT_REG_ADDR:
        // Writing the current line acknowledges the VI interrupt.
        MI_INTR_REG &= ~MI_INTR_VI;
        return theMemory.hwRegs + (p & 0x00FFFFFF);
    case AI_LEN_REG_ADDR:
        return markedRegister(p, ACTION_AI_LEN);
    case AI_STATUS_REG_ADDR:
        // Acknowledges the AI interrupt; the status itself is read-only.
        MI_INTR_REG &= ~MI_INTR_AI;
        return theMemory.dummyWord;
    case PI_RD_LEN_REG_ADDR:
        return markedRegister(p, ACTION_PI_DMA_READ);
    case PI_WR_LEN_REG_ADDR:
        return markedRegister(p, ACTION_PI_DMA_WRITE);
    case PI_STATUS_REG_ADDR:
        return latchTarget(WriteLatch::PiStatus, ACTION_PI_STATUS);
    case SI_PIF_ADDR_RD64B_REG_ADDR:
        return markedRegister(p, ACTION_SI_DMA_READ);
    case SI_PIF_ADDR_WR64B_REG_ADDR:
        return markedRegister(p, ACTION_SI_DMA_WRITE);
    case SI_STATUS_REG_ADDR:
        // Acknowledges the SI interrupt; the status itself is read-only.
        MI_INTR_REG &= ~MI_INTR_SI;
        return theMemory.dummyWord;
    default:
        // Every other register, and SP memory, takes the stored word in its own
        // word of the register area.
        return theMemory.hwRegs + (p & 0x00FFFFFF);
    }
}
