// Hardware register names. Every register is the 32-bit word of the register
// area (theMemory.hwRegs) at its physical address minus 0x04000000; the name
// REG is an lvalue for that word and REG_ADDR its physical address.
#pragma once

#include <cstdint>

#include "core/memory.h"

#define ORVEX_HW_REGISTERS(X)                                                                      \
    X(SP_MEM_ADDR_REG, 0x04040000)                                                                 \
    X(SP_DRAM_ADDR_REG, 0x04040004)                                                                \
    X(SP_RD_LEN_REG, 0x04040008)                                                                   \
    X(SP_WR_LEN_REG, 0x0404000C)                                                                   \
    X(SP_STATUS_REG, 0x04040010)                                                                   \
    X(SP_DMA_FULL_REG, 0x04040014)                                                                 \
    X(SP_DMA_BUSY_REG, 0x04040018)                                                                 \
    X(SP_SEMAPHORE_REG, 0x0404001C)                                                                \
    X(SP_PC_REG, 0x04080000)                                                                       \
    X(SP_IBIST_REG, 0x04080004)                                                                    \
    X(DPC_START_REG, 0x04100000)                                                                   \
    X(DPC_END_REG, 0x04100004)                                                                     \
    X(DPC_CURRENT_REG, 0x04100008)                                                                 \
    X(DPC_STATUS_REG, 0x0410000C)                                                                  \
    X(DPC_CLOCK_REG, 0x04100010)                                                                   \
    X(DPC_BUFBUSY_REG, 0x04100014)                                                                 \
    X(DPC_PIPEBUSY_REG, 0x04100018)                                                                \
    X(DPC_TMEM_REG, 0x0410001C)                                                                    \
    X(DPS_TBIST_REG, 0x04200000)                                                                   \
    X(DPS_TEST_MODE_REG, 0x04200004)                                                               \
    X(DPS_BUFTEST_ADDR_REG, 0x04200008)                                                            \
    X(DPS_BUFTEST_DATA_REG, 0x0420000C)                                                            \
    X(MI_MODE_REG, 0x04300000)                                                                     \
    X(MI_VERSION_REG, 0x04300004)                                                                  \
    X(MI_INTR_REG, 0x04300008)                                                                     \
    X(MI_INTR_MASK_REG, 0x0430000C)                                                                \
    X(VI_STATUS_REG, 0x04400000)                                                                   \
    X(VI_ORIGIN_REG, 0x04400004)                                                                   \
    X(VI_WIDTH_REG, 0x04400008)                                                                    \
    X(VI_INTR_REG, 0x0440000C)                                                                     \
    X(VI_CURRENT_REG, 0x04400010)                                                                  \
    X(VI_BURST_REG, 0x04400014)                                                                    \
    X(VI_V_SYNC_REG, 0x04400018)                                                                   \
    X(VI_H_SYNC_REG, 0x0440001C)                                                                   \
    X(VI_LEAP_REG, 0x04400020)                                                                     \
    X(VI_H_START_REG, 0x04400024)                                                                  \
    X(VI_V_START_REG, 0x04400028)                                                                  \
    X(VI_V_BURST_REG, 0x0440002C)                                                                  \
    X(VI_X_SCALE_REG, 0x04400030)                                                                  \
    X(VI_Y_SCALE_REG, 0x04400034)                                                                  \
    X(AI_DRAM_ADDR_REG, 0x04500000)                                                                \
    X(AI_LEN_REG, 0x04500004)                                                                      \
    X(AI_CONTROL_REG, 0x04500008)                                                                  \
    X(AI_STATUS_REG, 0x0450000C)                                                                   \
    X(AI_DACRATE_REG, 0x04500010)                                                                  \
    X(AI_BITRATE_REG, 0x04500014)                                                                  \
    X(PI_DRAM_ADDR_REG, 0x04600000)                                                                \
    X(PI_CART_ADDR_REG, 0x04600004)                                                                \
    X(PI_RD_LEN_REG, 0x04600008)                                                                   \
    X(PI_WR_LEN_REG, 0x0460000C)                                                                   \
    X(PI_STATUS_REG, 0x04600010)                                                                   \
    X(PI_BSD_DOM1_LAT_REG, 0x04600014)                                                             \
    X(PI_BSD_DOM1_PWD_REG, 0x04600018)                                                             \
    X(PI_BSD_DOM1_PGS_REG, 0x0460001C)                                                             \
    X(PI_BSD_DOM1_RLS_REG, 0x04600020)                                                             \
    X(PI_BSD_DOM2_LAT_REG, 0x04600024)                                                             \
    X(PI_BSD_DOM2_PWD_REG, 0x04600028)                                                             \
    X(PI_BSD_DOM2_PGS_REG, 0x0460002C)                                                             \
    X(PI_BSD_DOM2_RLS_REG, 0x04600030)                                                             \
    X(RI_MODE_REG, 0x04700000)                                                                     \
    X(RI_CONFIG_REG, 0x04700004)                                                                   \
    X(RI_CURRENT_LOAD_REG, 0x04700008)                                                             \
    X(RI_SELECT_REG, 0x0470000C)                                                                   \
    X(RI_REFRESH_REG, 0x04700010)                                                                  \
    X(RI_LATENCY_REG, 0x04700014)                                                                  \
    X(RI_RERROR_REG, 0x04700018)                                                                   \
    X(RI_WERROR_REG, 0x0470001C)                                                                   \
    X(SI_DRAM_ADDR_REG, 0x04800000)                                                                \
    X(SI_PIF_ADDR_RD64B_REG, 0x04800004)                                                           \
    X(SI_PIF_ADDR_WR64B_REG, 0x04800010)                                                           \
    X(SI_STATUS_REG, 0x04800018)

// The register word at a physical address of the register area.
inline uint32_t& hwRegister(uint32_t physical) {
    return *reinterpret_cast<uint32_t*>(theMemory.hwRegs + (physical & 0x00FFFFFF));
}

#define ORVEX_DECLARE_HW_ADDR(name, addr) constexpr uint32_t name##_ADDR = addr;
ORVEX_HW_REGISTERS(ORVEX_DECLARE_HW_ADDR)
#undef ORVEX_DECLARE_HW_ADDR

#define SP_MEM_ADDR_REG hwRegister(SP_MEM_ADDR_REG_ADDR)
#define SP_DRAM_ADDR_REG hwRegister(SP_DRAM_ADDR_REG_ADDR)
#define SP_RD_LEN_REG hwRegister(SP_RD_LEN_REG_ADDR)
#define SP_WR_LEN_REG hwRegister(SP_WR_LEN_REG_ADDR)
#define SP_STATUS_REG hwRegister(SP_STATUS_REG_ADDR)
#define SP_DMA_FULL_REG hwRegister(SP_DMA_FULL_REG_ADDR)
#define SP_DMA_BUSY_REG hwRegister(SP_DMA_BUSY_REG_ADDR)
#define SP_SEMAPHORE_REG hwRegister(SP_SEMAPHORE_REG_ADDR)
#define SP_PC_REG hwRegister(SP_PC_REG_ADDR)
#define SP_IBIST_REG hwRegister(SP_IBIST_REG_ADDR)
#define DPC_START_REG hwRegister(DPC_START_REG_ADDR)
#define DPC_END_REG hwRegister(DPC_END_REG_ADDR)
#define DPC_CURRENT_REG hwRegister(DPC_CURRENT_REG_ADDR)
#define DPC_STATUS_REG hwRegister(DPC_STATUS_REG_ADDR)
#define DPC_CLOCK_REG hwRegister(DPC_CLOCK_REG_ADDR)
#define DPC_BUFBUSY_REG hwRegister(DPC_BUFBUSY_REG_ADDR)
#define DPC_PIPEBUSY_REG hwRegister(DPC_PIPEBUSY_REG_ADDR)
#define DPC_TMEM_REG hwRegister(DPC_TMEM_REG_ADDR)
#define DPS_TBIST_REG hwRegister(DPS_TBIST_REG_ADDR)
#define DPS_TEST_MODE_REG hwRegister(DPS_TEST_MODE_REG_ADDR)
#define DPS_BUFTEST_ADDR_REG hwRegister(DPS_BUFTEST_ADDR_REG_ADDR)
#define DPS_BUFTEST_DATA_REG hwRegister(DPS_BUFTEST_DATA_REG_ADDR)
#define MI_MODE_REG hwRegister(MI_MODE_REG_ADDR)
#define MI_VERSION_REG hwRegister(MI_VERSION_REG_ADDR)
#define MI_INTR_REG hwRegister(MI_INTR_REG_ADDR)
#define MI_INTR_MASK_REG hwRegister(MI_INTR_MASK_REG_ADDR)
#define VI_STATUS_REG hwRegister(VI_STATUS_REG_ADDR)
#define VI_ORIGIN_REG hwRegister(VI_ORIGIN_REG_ADDR)
#define VI_WIDTH_REG hwRegister(VI_WIDTH_REG_ADDR)
#define VI_INTR_REG hwRegister(VI_INTR_REG_ADDR)
#define VI_CURRENT_REG hwRegister(VI_CURRENT_REG_ADDR)
#define VI_BURST_REG hwRegister(VI_BURST_REG_ADDR)
#define VI_V_SYNC_REG hwRegister(VI_V_SYNC_REG_ADDR)
#define VI_H_SYNC_REG hwRegister(VI_H_SYNC_REG_ADDR)
#define VI_LEAP_REG hwRegister(VI_LEAP_REG_ADDR)
#define VI_H_START_REG hwRegister(VI_H_START_REG_ADDR)
#define VI_V_START_REG hwRegister(VI_V_START_REG_ADDR)
#define VI_V_BURST_REG hwRegister(VI_V_BURST_REG_ADDR)
#define VI_X_SCALE_REG hwRegister(VI_X_SCALE_REG_ADDR)
#define VI_Y_SCALE_REG hwRegister(VI_Y_SCALE_REG_ADDR)
#define AI_DRAM_ADDR_REG hwRegister(AI_DRAM_ADDR_REG_ADDR)
#define AI_LEN_REG hwRegister(AI_LEN_REG_ADDR)
#define AI_CONTROL_REG hwRegister(AI_CONTROL_REG_ADDR)
#define AI_STATUS_REG hwRegister(AI_STATUS_REG_ADDR)
#define AI_DACRATE_REG hwRegister(AI_DACRATE_REG_ADDR)
#define AI_BITRATE_REG hwRegister(AI_BITRATE_REG_ADDR)
#define PI_DRAM_ADDR_REG hwRegister(PI_DRAM_ADDR_REG_ADDR)
#define PI_CART_ADDR_REG hwRegister(PI_CART_ADDR_REG_ADDR)
#define PI_RD_LEN_REG hwRegister(PI_RD_LEN_REG_ADDR)
#define PI_WR_LEN_REG hwRegister(PI_WR_LEN_REG_ADDR)
#define PI_STATUS_REG hwRegister(PI_STATUS_REG_ADDR)
#define PI_BSD_DOM1_LAT_REG hwRegister(PI_BSD_DOM1_LAT_REG_ADDR)
#define PI_BSD_DOM1_PWD_REG hwRegister(PI_BSD_DOM1_PWD_REG_ADDR)
#define PI_BSD_DOM1_PGS_REG hwRegister(PI_BSD_DOM1_PGS_REG_ADDR)
#define PI_BSD_DOM1_RLS_REG hwRegister(PI_BSD_DOM1_RLS_REG_ADDR)
#define PI_BSD_DOM2_LAT_REG hwRegister(PI_BSD_DOM2_LAT_REG_ADDR)
#define PI_BSD_DOM2_PWD_REG hwRegister(PI_BSD_DOM2_PWD_REG_ADDR)
#define PI_BSD_DOM2_PGS_REG hwRegister(PI_BSD_DOM2_PGS_REG_ADDR)
#define PI_BSD_DOM2_RLS_REG hwRegister(PI_BSD_DOM2_RLS_REG_ADDR)
#define RI_MODE_REG hwRegister(RI_MODE_REG_ADDR)
#define RI_CONFIG_REG hwRegister(RI_CONFIG_REG_ADDR)
#define RI_CURRENT_LOAD_REG hwRegister(RI_CURRENT_LOAD_REG_ADDR)
#define RI_SELECT_REG hwRegister(RI_SELECT_REG_ADDR)
#define RI_REFRESH_REG hwRegister(RI_REFRESH_REG_ADDR)
#define RI_LATENCY_REG hwRegister(RI_LATENCY_REG_ADDR)
#define RI_RERROR_REG hwRegister(RI_RERROR_REG_ADDR)
#define RI_WERROR_REG hwRegister(RI_WERROR_REG_ADDR)
#define SI_DRAM_ADDR_REG hwRegister(SI_DRAM_ADDR_REG_ADDR)
#define SI_PIF_ADDR_RD64B_REG hwRegister(SI_PIF_ADDR_RD64B_REG_ADDR)
#define SI_PIF_ADDR_WR64B_REG hwRegister(SI_PIF_ADDR_WR64B_REG_ADDR)
#define SI_STATUS_REG hwRegister(SI_STATUS_REG_ADDR)

// MI interrupt bits (MI_INTR_REG, MI_INTR_MASK_REG).
constexpr uint32_t MI_INTR_SP = 0x01;
constexpr uint32_t MI_INTR_SI = 0x02;
constexpr uint32_t MI_INTR_AI = 0x04;
constexpr uint32_t MI_INTR_VI = 0x08;
constexpr uint32_t MI_INTR_PI = 0x10;
constexpr uint32_t MI_INTR_DP = 0x20;
