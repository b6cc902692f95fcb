#include "hw/mi.h"

#include <iterator>

#include "core/hw_registers.h"
#include "core/register_area.h"
#include "hw/mem_action_bits.h"
#include "hw/register_effects.h"

namespace {

uint8_t* storeMode(uint32_t) {
    return latchTarget(WriteLatch::MiMode, ACTION_MI);
}

uint8_t* storeInterruptMask(uint32_t) {
    return latchTarget(WriteLatch::MiIntrMask, ACTION_MI);
}

} // namespace

void installMiRegisters() {
    installRegisterHandler(MI_MODE_REG_ADDR, {&storeMode, nullptr});
    installRegisterHandler(MI_INTR_MASK_REG_ADDR, {&storeInterruptMask, nullptr});
}

void applyMiWrites() {
    const uint32_t modeWrite = latchedStore(WriteLatch::MiMode);
    const uint32_t maskWrite = latchedStore(WriteLatch::MiIntrMask);
    if (modeWrite != 0) {
        const uint32_t w = modeWrite;
        // The init length is ORed into the low 7 bits.
        uint32_t mode = MI_MODE_REG | (w & 0x7F);
        // Each pair is tested clear first, then set, so the set wins.
        if (w & 0x80) mode &= ~0x80u;
        if (w & 0x100) mode |= 0x80;
        if (w & 0x200) mode &= ~0x100u;
        if (w & 0x400) mode |= 0x100;
        if (w & 0x800) MI_INTR_REG &= ~MI_INTR_DP;
        if (w & 0x1000) mode &= ~0x200u;
        if (w & 0x2000) mode |= 0x200;
        MI_MODE_REG = mode;
    }
    if (maskWrite != 0) {
        static constexpr ClearSetPair maskPairs[] = {
            {0x1, 0x2, MI_INTR_SP},   {0x4, 0x8, MI_INTR_SI},     {0x10, 0x20, MI_INTR_AI},
            {0x40, 0x80, MI_INTR_VI}, {0x100, 0x200, MI_INTR_PI}, {0x400, 0x800, MI_INTR_DP},
        };
        MI_INTR_MASK_REG =
            applyClearWins(MI_INTR_MASK_REG, maskWrite, maskPairs, std::size(maskPairs));
    }
    latchedStore(WriteLatch::MiMode) = 0;
    latchedStore(WriteLatch::MiIntrMask) = 0;
}
