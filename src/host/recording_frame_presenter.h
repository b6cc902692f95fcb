// A frame presenter that keeps a copy of the latest frame, for tests and
// headless runs.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "host/frame_presenter.h"

class RecordingFramePresenter : public FramePresenter {
  public:
    explicit RecordingFramePresenter(ScreenFormat format = ScreenFormat{}, bool available = true)
        : format_(format), available_(available) {}

    bool screenFormat(ScreenFormat& format) override;
    void fitClientArea(uint32_t width, uint32_t height) override;
    void clientOrigin(int32_t& x, int32_t& y) override;
    void presentFrame(const FrameView& frame, const FrameRect& dest) override;

    void setClientOrigin(int32_t x, int32_t y);

    struct Frame {
        uint32_t width = 0;
        uint32_t height = 0;
        uint32_t pitch = 0;
        ScreenFormat format;
        FrameRect dest;
        std::vector<uint8_t> pixels;

        // Pixel (x, y) of the frame as stored (16- or 32-bit).
        uint32_t pixel(uint32_t x, uint32_t y) const;
    };
    // The latest frame and how many frames were presented.
    Frame lastFrame() const;
    uint32_t framesPresented() const;
    // The last size asked for by fitClientArea (0 x 0 before any).
    void clientSize(uint32_t& width, uint32_t& height) const;

  private:
    mutable std::mutex mutex_;
    ScreenFormat format_;
    bool available_;
    int32_t originX_ = 0;
    int32_t originY_ = 0;
    uint32_t clientWidth_ = 0;
    uint32_t clientHeight_ = 0;
    uint32_t frames_ = 0;
    Frame last_;
};
