// The output window's OpenGL surface in the window program: a Qt context
// drawing into a framebuffer object, never on screen. The display-list
// renderer draws on it on the CPU thread; each finished frame is read back
// from the framebuffer object and shown by the output window like a
// frame-buffer frame.
#pragma once

#include <QPointer>
#include <cstdint>
#include <memory>
#include <string>

#include "gui/output_window.h"
#include "host/gl_surface.h"

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFramebufferObject;

class QtGlSurface : public GlSurface {
  public:
    static constexpr uint32_t DEFAULT_WIDTH = 320;
    static constexpr uint32_t DEFAULT_HEIGHT = 240;

    // On the user-interface thread: the offscreen surface must be made there.
    QtGlSurface();
    ~QtGlSurface() override;
    QtGlSurface(const QtGlSurface&) = delete;
    QtGlSurface& operator=(const QtGlSurface&) = delete;

    // The window whose client size becomes the drawing size (taken on the
    // CPU thread at each frame's end); null keeps the size the run sets.
    // On the user-interface thread, before the run starts.
    void setOutputWindow(OutputWindow* window) { window_ = window; }

    // CPU thread.
    bool createContext() override;
    void swapBuffers() override;
    void* procAddress(const char* name) override;
    bool resize(uint32_t width, uint32_t height) override;
    void releaseCurrent() override;
    // Main thread, after the CPU thread has ended.
    void destroyContext() override;

    // Why the last createContext failed ("" after a success).
    const std::string& failure() const { return failure_; }

  private:
    bool fail(const char* what);
    bool makeFramebuffer(uint32_t width, uint32_t height);

    std::unique_ptr<QOffscreenSurface> surface_;
    std::unique_ptr<QOpenGLContext> context_;
    std::unique_ptr<QOpenGLFramebufferObject> framebuffer_;
    QPointer<OutputWindow> window_;
    uint32_t width_ = DEFAULT_WIDTH;
    uint32_t height_ = DEFAULT_HEIGHT;
    std::string failure_;
};
