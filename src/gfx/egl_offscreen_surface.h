// A rendering context without any display: Mesa's EGL on its surfaceless
// platform, drawing in software into a pixel buffer of the frame's size. The
// headless runner, the tests and the benchmarks draw on it. libEGL is opened
// at run time, so a program without it still runs (without OpenGL output).
#pragma once

#include <cstdint>
#include <string>

#include "host/gl_surface.h"

class EglOffscreenSurface : public GlSurface {
  public:
    static constexpr uint32_t DEFAULT_WIDTH = 320;
    static constexpr uint32_t DEFAULT_HEIGHT = 240;

    EglOffscreenSurface();
    ~EglOffscreenSurface() override;
    EglOffscreenSurface(const EglOffscreenSurface&) = delete;
    EglOffscreenSurface& operator=(const EglOffscreenSurface&) = delete;

    bool createContext() override;
    void destroyContext() override;
    void* procAddress(const char* name) override;
    bool resize(uint32_t width, uint32_t height) override;
    void releaseCurrent() override;

    // Why the last createContext failed ("" after a success).
    const std::string& failure() const { return failure_; }
    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }

  private:
    struct Egl;
    bool fail(const char* what);
    static const Egl* loadEgl();
    bool makeSurface(uint32_t width, uint32_t height);

    const Egl* egl_ = nullptr;
    void* display_ = nullptr;
    void* config_ = nullptr;
    void* context_ = nullptr;
    void* surface_ = nullptr;
    uint32_t width_ = DEFAULT_WIDTH;
    uint32_t height_ = DEFAULT_HEIGHT;
    std::string failure_;
};
