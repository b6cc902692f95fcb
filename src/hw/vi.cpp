#include "hw/vi.h"

#include "core/hw_registers.h"
#include "core/machine.h"
#include "cpu/interrupts.h"
#include "video/frame_buffer_display.h"
#include "video/rate_counter.h"

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
