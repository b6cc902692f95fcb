#include "hw/pi.h"

#include "core/hw_registers.h"
#include "core/register_area.h"
#include "hw/mem_action_bits.h"
#include "hw/register_effects.h"

namespace {

uint8_t* storeReadLength(uint32_t physical) {
    return markedRegister(physical, ACTION_PI_DMA_READ);
}

uint8_t* storeWriteLength(uint32_t physical) {
    return markedRegister(physical, ACTION_PI_DMA_WRITE);
}

uint8_t* storeStatus(uint32_t) {
    return latchTarget(WriteLatch::PiStatus, ACTION_PI_STATUS);
}

} // namespace

void installPiRegisters() {
    installRegisterHandler(PI_RD_LEN_REG_ADDR, {&storeReadLength, nullptr});
    installRegisterHandler(PI_WR_LEN_REG_ADDR, {&storeWriteLength, nullptr});
    installRegisterHandler(PI_STATUS_REG_ADDR, {&storeStatus, nullptr});
}

void applyPiStatusWrite() {
    // Bit 0x1 (controller reset) has no effect.
    if (latchedStore(WriteLatch::PiStatus) & 0x2) MI_INTR_REG &= ~MI_INTR_PI;
    latchedStore(WriteLatch::PiStatus) = 0;
}
