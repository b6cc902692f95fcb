#include "host/recording_frame_presenter.h"

#include <cstring>

bool RecordingFramePresenter::screenFormat(ScreenFormat& format) {
    std::lock_guard lock(mutex_);
    format = format_;
    return available_;
}

void RecordingFramePresenter::fitClientArea(uint32_t width, uint32_t height) {
    std::lock_guard lock(mutex_);
    clientWidth_ = width;
    clientHeight_ = height;
}

void RecordingFramePresenter::clientOrigin(int32_t& x, int32_t& y) {
    std::lock_guard lock(mutex_);
    x = originX_;
    y = originY_;
}

void RecordingFramePresenter::setClientOrigin(int32_t x, int32_t y) {
    std::lock_guard lock(mutex_);
    originX_ = x;
    originY_ = y;
}

void RecordingFramePresenter::presentFrame(const FrameView& frame, const FrameRect& dest) {
    std::lock_guard lock(mutex_);
    ++frames_;
    last_.width = frame.width;
    last_.height = frame.height;
    last_.pitch = frame.pitch;
    last_.format = frame.format;
    last_.dest = dest;
    last_.pixels.assign(frame.pixels, frame.pixels + size_t(frame.pitch) * frame.height);
}

RecordingFramePresenter::Frame RecordingFramePresenter::lastFrame() const {
    std::lock_guard lock(mutex_);
    return last_;
}

uint32_t RecordingFramePresenter::framesPresented() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

void RecordingFramePresenter::clientSize(uint32_t& width, uint32_t& height) const {
    std::lock_guard lock(mutex_);
    width = clientWidth_;
    height = clientHeight_;
}

uint32_t RecordingFramePresenter::Frame::pixel(uint32_t x, uint32_t y) const {
    if (x >= width || y >= height) return 0;
    const uint8_t* p = pixels.data() + size_t(y) * pitch;
    if (format.bitsPerPixel == 32) {
        uint32_t v;
        std::memcpy(&v, p + size_t(x) * 4, 4);
        return v;
    }
    uint16_t v;
    std::memcpy(&v, p + size_t(x) * 2, 2);
    return v;
}
