// The host side of the frame-buffer display: the output window that tells the
// screen's pixel format, fits itself to the frame and receives each finished
// frame surface.
#pragma once

#include <cstdint>

// Pixel format of the screen the frames are shown on.
struct ScreenFormat {
    // 16 or 32 are shown; 8 and 24 are refused.
    uint32_t bitsPerPixel = 16;
    // For 16-bit screens: 0x07E0 for 5-6-5, anything else means 5-5-5.
    uint32_t greenMask = 0x07E0;
};

constexpr uint32_t GREEN_MASK_565 = 0x07E0;
constexpr uint32_t GREEN_MASK_555 = 0x03E0;

// A rectangle in screen coordinates, right and bottom exclusive.
struct FrameRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// A finished frame, valid only during FramePresenter::presentFrame. Rows are
// `pitch` bytes apart; pixels are 16-bit (5-6-5 or 5-5-5 as `format` says) or
// 32-bit X8R8G8B8, in host order.
struct FrameView {
    const uint8_t* pixels = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pitch = 0;
    ScreenFormat format;
};

class FramePresenter {
  public:
    virtual ~FramePresenter() = default;
    // The screen's pixel format; false when no screen is available.
    virtual bool screenFormat(ScreenFormat& format) {
        format = ScreenFormat{};
        return true;
    }
    // Resizes the output window so that its client area is width x height.
    virtual void fitClientArea(uint32_t /*width*/, uint32_t /*height*/) {}
    // The client area's top-left corner in screen coordinates.
    virtual void clientOrigin(int32_t& x, int32_t& y) { x = y = 0; }
    // Shows a frame at `dest`. Runs on the emulation thread; the presenter
    // copies what it keeps before returning.
    virtual void presentFrame(const FrameView& frame, const FrameRect& dest) = 0;
};
