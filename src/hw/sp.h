// The signal processor's interface: its DMA and status registers.
#pragma once

// SP_RD_LEN_REG starts a DMA; SP_STATUS_REG takes set/clear writes.
void installSpRegisters();
// The deferred effect of a store to SP_STATUS_REG. The latch keeps the last
// write.
void applySpStatusWrite();
