// DMA transfers between RDRAM and the console's devices. Each completes at
// once and raises its interrupt immediately. A transfer never reaches past
// RDRAM (8 MB), SP memory (8 KB) or the ROM image: the part that would lies
// outside is dropped and one "DMA ... clamped" line is logged.
#pragma once

// RDRAM to SP memory (SP_RD_LEN_REG); no interrupt.
void spDma();
// Cartridge to RDRAM (PI_WR_LEN_REG); bytes beyond the image read as zero.
void piDmaWrite();
// RDRAM to cartridge (PI_RD_LEN_REG): changes the ROM image in memory only.
void piDmaRead();
// 64 bytes RDRAM to PIF RAM (SI_PIF_ADDR_WR64B_REG).
void siDmaWrite();
// 64 bytes PIF RAM to RDRAM (SI_PIF_ADDR_RD64B_REG); any PIF address other than
// 0x1FC007C0 is logged and halts the emulation.
void siDmaRead();
