// The peripheral interface: cartridge DMA and its status.
#pragma once

// PI_RD_LEN_REG and PI_WR_LEN_REG start a DMA; PI_STATUS_REG goes to a latch.
void installPiRegisters();
// The deferred effect of a store to PI_STATUS_REG.
void applyPiStatusWrite();
