// The display of the guest frame buffer.
#pragma once

#include <cstdint>

struct FrameBufferDisplay {
    // Start of the guest frame in RDRAM (set by the VI_ORIGIN_REG effect).
    uint8_t* frameSource = nullptr;
};

extern FrameBufferDisplay theFrameBufferDisplay;

// A new frame mode: format code 0x16 (16-bit pixels) or 0x32 (32-bit pixels)
// and the frame width in pixels. Returns false when no surface could be made.
bool setFrameMode(uint32_t formatCode, uint32_t width);
