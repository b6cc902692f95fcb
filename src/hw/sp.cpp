#include "hw/sp.h"

#include <iterator>

#include "core/hw_registers.h"
#include "core/register_area.h"
#include "hw/mem_action_bits.h"
#include "hw/register_effects.h"

namespace {

uint8_t* storeReadLength(uint32_t physical) {
    return markedRegister(physical, ACTION_SP_DMA);
}

uint8_t* storeStatus(uint32_t) {
    return latchTarget(WriteLatch::SpStatus, ACTION_SP_STATUS);
}

} // namespace

void installSpRegisters() {
    installRegisterHandler(SP_RD_LEN_REG_ADDR, {&storeReadLength, nullptr});
    installRegisterHandler(SP_STATUS_REG_ADDR, {&storeStatus, nullptr});
}

void applySpStatusWrite() {
    const uint32_t w = latchedStore(WriteLatch::SpStatus);
    static constexpr ClearSetPair statusPairs[] = {
        {0x1, 0x2, 0x0001},           {0x4, 0, 0x0002},
        {0x20, 0x40, 0x0020},         {0x80, 0x100, 0x0040},
        {0x200, 0x400, 0x0080},       {0x800, 0x1000, 0x0100},
        {0x2000, 0x4000, 0x0200},     {0x8000, 0x10000, 0x0400},
        {0x20000, 0x40000, 0x0800},   {0x80000, 0x100000, 0x1000},
        {0x200000, 0x400000, 0x2000}, {0x800000, 0x1000000, 0x4000},
    };
    SP_STATUS_REG = applyClearWins(SP_STATUS_REG, w, statusPairs, std::size(statusPairs));
    if (w & 0x8)
        MI_INTR_REG &= ~MI_INTR_SP;
    else if (w & 0x10)
        MI_INTR_REG |= MI_INTR_SP;
    // Releasing the halt bit starts no signal-processor task.
}
