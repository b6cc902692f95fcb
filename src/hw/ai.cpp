#include "hw/ai.h"

#include "core/hw_registers.h"
#include "core/register_area.h"
#include "hw/mem_action_bits.h"
#include "hw/register_effects.h"

namespace {

uint8_t* storeLength(uint32_t physical) {
    return markedRegister(physical, ACTION_AI_LEN);
}

uint8_t* storeStatus(uint32_t) {
    // Acknowledges the AI interrupt; the status itself is read-only.
    MI_INTR_REG &= ~MI_INTR_AI;
    return theMemory.dummyWord;
}

} // namespace

void installAiRegisters() {
    installRegisterHandler(AI_LEN_REG_ADDR, {&storeLength, nullptr});
    installRegisterHandler(AI_STATUS_REG_ADDR, {&storeStatus, nullptr});
}
