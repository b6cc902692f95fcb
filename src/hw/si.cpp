#include "hw/si.h"

#include "core/hw_registers.h"
#include "core/register_area.h"
#include "hw/mem_action_bits.h"
#include "hw/register_effects.h"

namespace {

uint8_t* storeReadAddress(uint32_t physical) {
    return markedRegister(physical, ACTION_SI_DMA_READ);
}

uint8_t* storeWriteAddress(uint32_t physical) {
    return markedRegister(physical, ACTION_SI_DMA_WRITE);
}

uint8_t* storeStatus(uint32_t) {
    // Acknowledges the SI interrupt; the status itself is read-only.
    MI_INTR_REG &= ~MI_INTR_SI;
    return theMemory.dummyWord;
}

} // namespace

void installSiRegisters() {
    installRegisterHandler(SI_PIF_ADDR_RD64B_REG_ADDR, {&storeReadAddress, nullptr});
    installRegisterHandler(SI_PIF_ADDR_WR64B_REG_ADDR, {&storeWriteAddress, nullptr});
    installRegisterHandler(SI_STATUS_REG_ADDR, {&storeStatus, nullptr});
}
