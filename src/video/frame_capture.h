// Pictures of the guest frame buffer for screenshots, independent of the
// frame-buffer display and its options.
#pragma once

#include <cstdint>
#include <vector>

// An 8-bit-per-channel image, rows top to bottom without padding.
struct GuestImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t channels = 0;
    std::vector<uint8_t> pixels;
    // Bits per guest pixel of the frame captured (16 or 32).
    uint32_t guestBitsPerPixel = 16;
};

// The guest frame at VI_ORIGIN_REG as RGB (or RGBA with `withAlpha`).
// `pixelType` is VI_STATUS_REG's type field: 3 means 32-bit RGBA pixels,
// any other value 16-bit 5-5-5-1 pixels. The height is three quarters of the
// width, as on the display. Pixels that would lie past the end of RDRAM are
// black. Empty for a width of 0 or above the display's limit, or without RDRAM.
GuestImage captureGuestFrame(uint32_t pixelType, uint32_t width, bool withAlpha = false);

// The frame the video interface shows now: pixel type from VI_STATUS_REG,
// width from VI_WIDTH_REG. When no pixels could be captured, `width` still
// tells the width the registers asked for.
GuestImage captureShownFrame();
