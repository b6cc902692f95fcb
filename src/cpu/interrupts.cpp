#include "cpu/interrupts.h"

#include "core/hw_registers.h"
#include "core/machine.h"

// Minimal raises until exception delivery exists: the device's MI bit is set
// and the VI schedule advances, so the run loop keeps its timing.
void raiseSpInterrupt() { MI_INTR_REG |= MI_INTR_SP; }
void raiseSiInterrupt() {
    SI_STATUS_REG |= 0x1000;
    MI_INTR_REG |= MI_INTR_SI;
}
void raiseAiInterrupt() { MI_INTR_REG |= MI_INTR_AI; }
void raiseViInterrupt() {
    nextViCount += VI_INTERRUPT_INTERVAL;
    MI_INTR_REG |= MI_INTR_VI;
}
void raisePiInterrupt() { MI_INTR_REG |= MI_INTR_PI; }
void raiseDpInterrupt() { MI_INTR_REG |= MI_INTR_DP; }
void raiseCompareInterrupt() {}
void raiseException(uint32_t /*code*/) {}
