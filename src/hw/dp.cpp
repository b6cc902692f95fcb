#include "hw/dp.h"

#include <iterator>

#include "core/hw_registers.h"
#include "core/register_area.h"
#include "hw/mem_action_bits.h"
#include "hw/register_effects.h"

namespace {

uint8_t* storeStatus(uint32_t) {
    return latchTarget(WriteLatch::DpcStatus, ACTION_DPC_STATUS);
}

} // namespace

void installDpRegisters() {
    installRegisterHandler(DPC_STATUS_REG_ADDR, {&storeStatus, nullptr});
}

void applyDpcStatusWrite() {
    static constexpr ClearSetPair statusPairs[] = {
        {0x1, 0x2, 0x1},
        {0x4, 0x8, 0x2},
        {0x10, 0x20, 0x4},
    };
    // The counter-clearing bits have no effect; the command buffer is always ready.
    DPC_STATUS_REG = applyClearWins(DPC_STATUS_REG, latchedStore(WriteLatch::DpcStatus),
                                    statusPairs, std::size(statusPairs)) |
                     0x80;
}
