// The serial interface: the 64-byte DMA to and from PIF RAM.
#pragma once

// The two PIF address registers start a DMA; a store to SI_STATUS_REG
// acknowledges the SI interrupt.
void installSiRegisters();
