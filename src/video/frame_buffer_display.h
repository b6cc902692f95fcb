// The display of the guest frame buffer: at every vertical interrupt the guest
// frame in RDRAM is copied into a software frame surface in the screen's pixel
// format and handed to the output window's frame presenter.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "host/frame_presenter.h"

// Format codes of setFrameMode: the guest's pixel size.
constexpr uint32_t FRAME_FORMAT_16 = 0x16;
constexpr uint32_t FRAME_FORMAT_32 = 0x32;
// Widest frame accepted (VI_WIDTH_REG's field is 12 bits wide).
constexpr uint32_t MAX_FRAME_WIDTH = 0xFFF;
// Rows of the frame surface start at multiples of this many bytes.
constexpr uint32_t FRAME_ROW_ALIGNMENT = 32;

// The off-screen surface holding one frame in the screen's pixel format.
struct FrameSurface {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pitch = 0;
    uint32_t bytesPerPixel = 0;
    std::vector<uint32_t> storage;

    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(storage.data()); }
    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(storage.data()); }
    bool exists() const { return !storage.empty(); }
};

struct FrameBufferDisplay {
    // Set up by initFrameBufferDisplay and not yet released.
    bool setUp = false;
    // The output window; null when there is none.
    FramePresenter* window = nullptr;
    FrameSurface frameSurface;
    // Where the frame goes on the screen. Written by the main thread on window
    // moves and by the emulation thread after a resize, hence the lock.
    FrameRect destRect;
    std::mutex placementMutex;
    // Frames are copied and shown at each vertical interrupt. Set at emulation
    // start, cleared for good by the first graphics task.
    std::atomic<bool> frameBufferDisplayEnabled{false};
    // Size of the frame surface; 0 when there is none. Written by the emulation
    // thread, read by the main thread when the window moves.
    std::atomic<uint16_t> frameWidth{0};
    std::atomic<uint16_t> frameHeight{0};
    // Guest pixel size of the current frame mode (FRAME_FORMAT_16 or _32).
    uint32_t frameFormat = FRAME_FORMAT_16;
    uint32_t screenBitsPerPixel = 0;
    ScreenFormat screenFormat;
    // Guest 5-5-5-1 pixel -> screen pixel, for 16-bit and 32-bit screens.
    uint16_t colourTable16[65536] = {};
    uint32_t colourTable32[65536] = {};
    // Start of the guest frame in RDRAM (set by the VI_ORIGIN_REG effect).
    uint8_t* frameSource = nullptr;
};

extern FrameBufferDisplay theFrameBufferDisplay;

// "Nice Frame Buffer": the frame copy converts pixels instead of copying raw.
// The main window may change it while the CPU thread reads it, hence atomic.
extern std::atomic<bool> niceFrameBuffer;

// Sets the display up for the given output window: asks it for the screen
// format and builds the colour tables. False, with everything released, when
// there is no window or screen or the screen's format is not supported
// (8-bit and 24-bit screens are refused with a message).
bool initFrameBufferDisplay(FramePresenter* window);
// Drops the frame surface and the set-up; the frame size and source are cleared.
void releaseFrameBufferDisplay();
// A new frame mode: format code 0x16 (16-bit pixels) or 0x32 (32-bit pixels)
// and the frame width in pixels; the height is three quarters of the width.
// Returns false when no surface could be made.
bool setFrameMode(uint32_t formatCode, uint32_t width);
// Resizes the output window to the frame, then updates the placement.
void fitWindowToFrame();
// Recomputes destRect from the window's client-area origin.
void updatePlacement();
// The raw copy: the guest frame's bytes go unchanged into the surface rows
// (on 32-bit screens, where raw 16-bit pixels would not be viewable, the
// pixels are converted instead).
void copyFrameFast();
// The converting copy: every guest pixel becomes a screen pixel.
void copyFrameNice();
// Hands the frame surface to the window.
void presentFrame();

class StateWriter;
class StateReader;
// The display's part of a saved state: the frame mode, the frame's RDRAM
// offset and whether frames are still shown. Reading sets the frame mode
// again; a display this run could not set up stays off.
void writeFrameDisplayState(StateWriter& out);
bool readFrameDisplayState(StateReader& in);
