#include "video/frame_buffer_display.h"

#include <cstring>

#include "base/log.h"
#include "base/state_stream.h"
#include "core/memory.h"

FrameBufferDisplay theFrameBufferDisplay;
std::atomic<bool> niceFrameBuffer{false};

namespace {

FrameBufferDisplay& fb = theFrameBufferDisplay;

void buildColourTables(const ScreenFormat& format) {
    for (uint32_t p = 0; p < 65536; ++p) {
        const uint32_t r = (p >> 11) & 31, g = (p >> 6) & 31, b = (p >> 1) & 31;
        if (format.bitsPerPixel == 32)
            fb.colourTable32[p] = (r << 19) | (g << 11) | (b << 3);
        else if (format.greenMask == GREEN_MASK_565)
            fb.colourTable16[p] = uint16_t((r << 11) | (g << 6) | b);
        else
            fb.colourTable16[p] = uint16_t((r << 10) | (g << 5) | b);
    }
}

// Offset of the frame source in RDRAM; false when there is none or it lies
// outside RDRAM.
bool frameSourceOffset(uint32_t& offset) {
    if (!fb.frameSource || !theMemory.rdram) return false;
    const uintptr_t source = reinterpret_cast<uintptr_t>(fb.frameSource);
    const uintptr_t base = reinterpret_cast<uintptr_t>(theMemory.rdram);
    if (source < base || source - base >= RDRAM_SIZE) return false;
    offset = uint32_t(source - base);
    return true;
}

// A guest pixel at a byte offset of RDRAM: a 16-bit pixel lies at its
// address XOR 2 in the host-order words, a 32-bit pixel is a whole word.
inline uint32_t guestPixel16(uint32_t offset) {
    return *reinterpret_cast<const uint16_t*>(theMemory.rdram + (offset ^ 2));
}
inline uint32_t guestPixel32(uint32_t offset) {
    return *reinterpret_cast<const uint32_t*>(theMemory.rdram + offset);
}

// Guest 8-8-8-8 RGBA reduced to 5-5-5-1 for the 16-bit table.
inline uint32_t rgba8888To5551(uint32_t w) {
    return ((w >> 27) << 11) | (((w >> 19) & 31) << 6) | (((w >> 11) & 31) << 1) |
           ((w & 0xFF) ? 1 : 0);
}

// Converts the guest frame pixel by pixel into the surface. Pixels whose
// source would lie past the end of RDRAM are black.
template <typename ScreenPixel, typename Convert>
void convertFrame(uint32_t sourceOffset, uint32_t guestBytes, Convert convert) {
    FrameSurface& s = fb.frameSurface;
    sourceOffset &= ~(guestBytes - 1);
    uint64_t available = (RDRAM_SIZE - sourceOffset) / guestBytes;
    uint32_t offset = sourceOffset;
    for (uint32_t y = 0; y < s.height; ++y) {
        ScreenPixel* row = reinterpret_cast<ScreenPixel*>(s.bytes() + size_t(y) * s.pitch);
        const uint32_t count = available < s.width ? uint32_t(available) : s.width;
        for (uint32_t x = 0; x < count; ++x, offset += guestBytes)
            row[x] = ScreenPixel(convert(offset));
        std::memset(row + count, 0, size_t(s.width - count) * sizeof(ScreenPixel));
        available -= count;
    }
}

void convertToScreen(uint32_t sourceOffset) {
    const bool wide = fb.frameFormat == FRAME_FORMAT_32;
    if (fb.screenBitsPerPixel == 32) {
        if (wide)
            convertFrame<uint32_t>(sourceOffset, 4,
                                   [](uint32_t o) { return guestPixel32(o) >> 8; });
        else
            convertFrame<uint32_t>(sourceOffset, 2,
                                   [](uint32_t o) { return fb.colourTable32[guestPixel16(o)]; });
    } else if (wide) {
        convertFrame<uint16_t>(sourceOffset, 4, [](uint32_t o) {
            return fb.colourTable16[rgba8888To5551(guestPixel32(o))];
        });
    } else {
        convertFrame<uint16_t>(sourceOffset, 2,
                               [](uint32_t o) { return fb.colourTable16[guestPixel16(o)]; });
    }
}

void setFrameSize(uint32_t width, uint32_t height) {
    std::lock_guard lock(fb.placementMutex);
    fb.frameWidth = uint16_t(width);
    fb.frameHeight = uint16_t(height);
}

} // namespace

bool initFrameBufferDisplay(FramePresenter* window) {
    releaseFrameBufferDisplay();
    fb.window = window;
    ScreenFormat format;
    if (!window || !window->screenFormat(format)) {
        releaseFrameBufferDisplay();
        return false;
    }
    fb.screenBitsPerPixel = format.bitsPerPixel;
    fb.screenFormat = format;
    switch (format.bitsPerPixel) {
    case 8:
        showMessage(0, "8-Bit Screenmodes not supported!");
        releaseFrameBufferDisplay();
        return false;
    case 24:
        showMessage(0, "24-Bit screenmodes not supported!");
        releaseFrameBufferDisplay();
        return false;
    case 16:
    case 32:
        buildColourTables(format);
        break;
    default:
        logLine("Screen modes of %u bits per pixel are not supported; no frame-buffer display.",
                format.bitsPerPixel);
        releaseFrameBufferDisplay();
        return false;
    }
    fb.frameSurface = FrameSurface{};
    fb.setUp = true;
    return true;
}

void releaseFrameBufferDisplay() {
    setFrameSize(0, 0);
    fb.frameSource = nullptr;
    fb.frameSurface = FrameSurface{};
    fb.frameFormat = FRAME_FORMAT_16;
    fb.setUp = false;
    // The output window may be gone once the display is released.
    fb.window = nullptr;
}

bool setFrameMode(uint32_t formatCode, uint32_t width) {
    if (formatCode != FRAME_FORMAT_16 && formatCode != FRAME_FORMAT_32) return true;
    // The pixel size is followed even when the width stays, so that a change
    // of pixel type alone is shown correctly.
    fb.frameFormat = formatCode;
    if (width == fb.frameWidth || width == 0) return true;
    if (width > MAX_FRAME_WIDTH) {
        logLine("Frame width %u is too large for the frame-buffer display; ignored.", width);
        return false;
    }
    fb.frameSurface = FrameSurface{};
    if (!fb.setUp) return false;

    const uint32_t height = (width >> 2) * 3;
    FrameSurface& s = fb.frameSurface;
    s.width = width;
    s.height = height;
    s.bytesPerPixel = fb.screenBitsPerPixel / 8;
    s.pitch = (width * s.bytesPerPixel + FRAME_ROW_ALIGNMENT - 1) & ~(FRAME_ROW_ALIGNMENT - 1);
    s.storage.assign(size_t(s.pitch) * height / 4 + 1, 0);
    setFrameSize(width, height);
    fitWindowToFrame();
    return true;
}

void fitWindowToFrame() {
    if (fb.window) fb.window->fitClientArea(fb.frameWidth.load(), fb.frameHeight.load());
    updatePlacement();
}

void updatePlacement() {
    int32_t x = 0, y = 0;
    if (fb.window) fb.window->clientOrigin(x, y);
    // The size is read under the lock its writer holds, so that the rectangle
    // never mixes the width of one frame mode with the height of another.
    std::lock_guard lock(fb.placementMutex);
    fb.destRect =
        FrameRect{x, y, x + int32_t(fb.frameWidth.load()), y + int32_t(fb.frameHeight.load())};
}

void copyFrameFast() {
    uint32_t sourceOffset;
    if (!fb.frameSurface.exists() || !frameSourceOffset(sourceOffset)) return;
    if (fb.screenBitsPerPixel == 32) {
        convertToScreen(sourceOffset);
        return;
    }
    // Each surface row takes the next row's worth of bytes of the guest frame
    // as they lie in the host-order words.
    FrameSurface& s = fb.frameSurface;
    const uint32_t rowBytes = s.width * s.bytesPerPixel;
    uint32_t available = RDRAM_SIZE - sourceOffset;
    const uint8_t* source = theMemory.rdram + sourceOffset;
    for (uint32_t y = 0; y < s.height; ++y) {
        uint8_t* row = s.bytes() + size_t(y) * s.pitch;
        const uint32_t count = available < rowBytes ? available : rowBytes;
        std::memcpy(row, source, count);
        std::memset(row + count, 0, rowBytes - count);
        source += count;
        available -= count;
    }
}

void copyFrameNice() {
    uint32_t sourceOffset;
    if (!fb.frameSurface.exists() || !frameSourceOffset(sourceOffset)) return;
    convertToScreen(sourceOffset);
}

void presentFrame() {
    if (!fb.setUp || !fb.window || !fb.frameSurface.exists() || !fb.frameSource) return;
    FrameRect dest;
    {
        std::lock_guard lock(fb.placementMutex);
        dest = fb.destRect;
    }
    const FrameSurface& s = fb.frameSurface;
    fb.window->presentFrame(FrameView{s.bytes(), s.width, s.height, s.pitch, fb.screenFormat},
                            dest);
}

namespace {
constexpr uint32_t NO_FRAME_SOURCE = 0xFFFFFFFF;
} // namespace

void writeFrameDisplayState(StateWriter& out) {
    const uint32_t source = fb.frameSource && theMemory.rdram
                                ? uint32_t(fb.frameSource - theMemory.rdram)
                                : NO_FRAME_SOURCE;
    out.beginPart("FBUF");
    out.put(fb.frameFormat);
    out.put(uint32_t(fb.frameWidth.load()));
    out.put(source);
    out.put(uint8_t(fb.frameBufferDisplayEnabled.load()));
    out.endPart();
}

bool readFrameDisplayState(StateReader& in) {
    uint32_t format = 0, width = 0, source = 0;
    uint8_t enabled = 0;
    in.beginPart("FBUF");
    in.get(format);
    in.get(width);
    in.get(source);
    in.get(enabled);
    if (in.ok() && format != FRAME_FORMAT_16 && format != FRAME_FORMAT_32)
        in.fail("an unknown frame format");
    if (in.ok() && (width > MAX_FRAME_WIDTH || (source != NO_FRAME_SOURCE && source >= RDRAM_SIZE)))
        in.fail("a frame outside the display's limits");
    if (!in.endPart()) return false;
    if (!in.applying()) return true;
    setFrameMode(format, width);
    fb.frameSource =
        source != NO_FRAME_SOURCE && theMemory.rdram ? theMemory.rdram + source : nullptr;
    if (!enabled) fb.frameBufferDisplayEnabled = false;
    return true;
}
