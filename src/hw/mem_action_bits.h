// The bits of mem_actions: one per kind of pending hardware-register effect.
#pragma once

#include <cstdint>

constexpr uint32_t ACTION_SP_STATUS = 1u << 0;
constexpr uint32_t ACTION_DPC_STATUS = 1u << 1;
constexpr uint32_t ACTION_MI = 1u << 3;
constexpr uint32_t ACTION_PI_STATUS = 1u << 5;
constexpr uint32_t ACTION_SP_DMA = 1u << 8;
constexpr uint32_t ACTION_PI_DMA_WRITE = 1u << 9;
constexpr uint32_t ACTION_PI_DMA_READ = 1u << 10;
constexpr uint32_t ACTION_SI_DMA_WRITE = 1u << 11;
constexpr uint32_t ACTION_SI_DMA_READ = 1u << 12;
constexpr uint32_t ACTION_AI_LEN = 1u << 13;
constexpr uint32_t ACTION_VI_ORIGIN = 1u << 15;
constexpr uint32_t ACTION_VI_WIDTH = 1u << 16;
// ACTION_SP_TASK (bit 17), the signal processor's task start, is in
// core/memory.h, where the native task start below the devices sees it.

// The three groups in which processMemActions carries the effects out.
constexpr uint32_t ACTION_GROUP_STATUS = 0x0000007F;   // bits 0-6
constexpr uint32_t ACTION_GROUP_TRANSFER = 0x00003F80; // bits 7-13
constexpr uint32_t ACTION_GROUP_DISPLAY =
    ACTION_SI_DMA_READ | ACTION_AI_LEN | ACTION_VI_ORIGIN | ACTION_VI_WIDTH;
