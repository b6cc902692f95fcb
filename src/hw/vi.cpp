#include "hw/vi.h"

#include "base/log.h"
#include "core/hw_registers.h"
#include "core/machine.h"
#include "core/register_area.h"
#include "cpu/interrupts.h"
#include "hw/mem_action_bits.h"
#include "hw/register_effects.h"
#include "video/frame_buffer_display.h"
#include "video/rate_counter.h"

namespace {

uint8_t* storeOrigin(uint32_t physical) {
    return markedRegister(physical, ACTION_VI_ORIGIN);
}

uint8_t* storeWidth(uint32_t physical) {
    return markedRegister(physical, ACTION_VI_WIDTH);
}

uint8_t* storeCurrentLine(uint32_t physical) {
    // Writing the current line acknowledges the VI interrupt.
    MI_INTR_REG &= ~MI_INTR_VI;
    return registerWord(physical);
}

void loadCurrentLine(uint32_t) {
    VI_CURRENT_REG += 2;
    if (VI_CURRENT_REG > VI_V_SYNC_REG) VI_CURRENT_REG = 0;
}

} // namespace

void installViRegisters() {
    installRegisterHandler(VI_ORIGIN_REG_ADDR, {&storeOrigin, nullptr});
    installRegisterHandler(VI_WIDTH_REG_ADDR, {&storeWidth, nullptr});
    installRegisterHandler(VI_CURRENT_REG_ADDR, {&storeCurrentLine, &loadCurrentLine});
}

void applyNewFrameSource() {
    const uint32_t offset = VI_ORIGIN_REG & 0x1FFFFFFF;
    if (offset >= RDRAM_SIZE) {
        // A frame outside RDRAM cannot be shown; the display keeps the last one.
        logLine("VI_ORIGIN_REG 0x%08X lies outside RDRAM; frame source unchanged", VI_ORIGIN_REG);
        return;
    }
    uint8_t* source = theMemory.rdram + offset;
    if (source != theFrameBufferDisplay.frameSource) theFrameBufferDisplay.frameSource = source;
}

void applyNewFrameMode() {
    const uint32_t pixelType = VI_STATUS_REG & 3;
    if (pixelType == 1) {
        logLine("Unhandled bit-mode when VI_WIDTH_REG set! (bpp=%i)", int(pixelType));
        return;
    }
    setFrameMode(pixelType == 3 ? 0x32 : 0x16, VI_WIDTH_REG);
}

void raiseViInterrupt() {
    nextViCount += VI_INTERRUPT_INTERVAL;
    if (theFrameBufferDisplay.frameBufferDisplayEnabled.load(std::memory_order_relaxed)) {
        if (niceFrameBuffer)
            copyFrameNice();
        else
            copyFrameFast();
        presentFrame();
    }
    cpuRate.countEvent();
    deliverMiInterrupt(MI_INTR_VI);
}
