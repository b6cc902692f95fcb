#include "video/frame_capture.h"

#include <algorithm>

#include "core/hw_registers.h"
#include "core/memory.h"
#include "video/frame_buffer_display.h"

namespace {
// A 5-bit channel spread over 8 bits so that full intensity stays full.
inline uint8_t expand5(uint32_t c) {
    return uint8_t((c << 3) | (c >> 2));
}
} // namespace

GuestImage captureGuestFrame(uint32_t pixelType, uint32_t width, bool withAlpha) {
    GuestImage image;
    if (width == 0 || width > MAX_FRAME_WIDTH || !theMemory.rdram) return image;
    image.width = width;
    image.height = (width >> 2) * 3;
    image.channels = withAlpha ? 4 : 3;
    image.pixels.assign(size_t(width) * image.height * image.channels, 0);
    if (withAlpha)
        for (size_t i = 3; i < image.pixels.size(); i += 4)
            image.pixels[i] = 0xFF;

    const bool wide = (pixelType & 3) == 3;
    const uint32_t guestBytes = wide ? 4 : 2;
    const uint32_t origin = (VI_ORIGIN_REG & 0x00FFFFFF) & ~(guestBytes - 1);
    if (origin >= RDRAM_SIZE) return image;
    const uint64_t available = (RDRAM_SIZE - origin) / guestBytes;
    const uint64_t count = std::min<uint64_t>(available, uint64_t(width) * image.height);

    uint8_t* out = image.pixels.data();
    for (uint64_t i = 0; i < count; ++i, out += image.channels) {
        const uint32_t offset = origin + uint32_t(i) * guestBytes;
        uint8_t r, g, b, a;
        if (wide) {
            const uint32_t w = blockWord(theMemory.rdram, offset);
            r = uint8_t(w >> 24), g = uint8_t(w >> 16), b = uint8_t(w >> 8), a = uint8_t(w);
        } else {
            const uint32_t p = *reinterpret_cast<const uint16_t*>(theMemory.rdram + (offset ^ 2));
            r = expand5(p >> 11), g = expand5((p >> 6) & 31), b = expand5((p >> 1) & 31);
            a = (p & 1) ? 0xFF : 0;
        }
        out[0] = r, out[1] = g, out[2] = b;
        if (withAlpha) out[3] = a;
    }
    return image;
}

GuestImage captureShownFrame() {
    if (!theMemory.hwRegs) return {};
    const uint32_t pixelType = VI_STATUS_REG & 3;
    const uint32_t width = VI_WIDTH_REG & 0xFFF;
    GuestImage image = captureGuestFrame(pixelType, width);
    if (image.pixels.empty()) image.width = width; // what could not be captured
    image.guestBitsPerPixel = pixelType == 3 ? 32 : 16;
    return image;
}
