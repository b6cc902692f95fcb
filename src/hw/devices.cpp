#include "hw/devices.h"

#include "core/hw_registers.h"
#include "core/register_area.h"
#include "cpu/end_check.h"
#include "hw/mem_actions.h"
#include "hw/register_store.h"

namespace {

void advanceCurrentLine(uint32_t) {
    VI_CURRENT_REG += 2;
    if (VI_CURRENT_REG > VI_V_SYNC_REG) VI_CURRENT_REG = 0;
}

} // namespace

void connectDevices() {
    clearRegisterHandlers();
    static constexpr uint32_t storeEffects[] = {
        SP_RD_LEN_REG_ADDR, SP_STATUS_REG_ADDR,         DPC_STATUS_REG_ADDR,
        MI_MODE_REG_ADDR,   MI_INTR_MASK_REG_ADDR,      VI_ORIGIN_REG_ADDR,
        VI_WIDTH_REG_ADDR,  VI_CURRENT_REG_ADDR,        AI_LEN_REG_ADDR,
        AI_STATUS_REG_ADDR, PI_RD_LEN_REG_ADDR,         PI_WR_LEN_REG_ADDR,
        PI_STATUS_REG_ADDR, SI_PIF_ADDR_RD64B_REG_ADDR, SI_PIF_ADDR_WR64B_REG_ADDR,
        SI_STATUS_REG_ADDR,
    };
    for (uint32_t address : storeEffects)
        installRegisterHandler(address, {&regStoreTarget, nullptr});
    installRegisterHandler(VI_CURRENT_REG_ADDR, {&regStoreTarget, &advanceCurrentLine});
    setEndCheckRoutine(&processMemActions);
}
