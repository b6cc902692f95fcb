#include "gui/qt_gl_surface.h"

#include <QCoreApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>
#include <QThread>
#include <algorithm>

#include "gui/output_window.h"
#include "video/gl_context.h"

namespace {

constexpr uint16_t MAX_SIZE = 4096;

QSurfaceFormat drawingFormat() {
    // A compatibility profile: the display lists are drawn with the
    // fixed-function calls of OpenGL 1.x.
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(16);
    return format;
}

} // namespace

QtGlSurface::QtGlSurface() : surface_(std::make_unique<QOffscreenSurface>()) {
    surface_->setFormat(drawingFormat());
    surface_->create();
}

QtGlSurface::~QtGlSurface() {
    destroyContext();
}

bool QtGlSurface::fail(const char* what) {
    failure_ = what;
    framebuffer_.reset();
    if (context_) context_->doneCurrent();
    context_.reset();
    return false;
}

bool QtGlSurface::createContext() {
    failure_.clear();
    destroyContext();
    if (!surface_->isValid()) return fail("the offscreen surface could not be created");
    context_ = std::make_unique<QOpenGLContext>();
    context_->setFormat(drawingFormat());
    if (!context_->create()) return fail("the OpenGL context could not be created");
    if (!context_->makeCurrent(surface_.get()))
        return fail("the OpenGL context could not be made current");
    if (!makeFramebuffer(width_, height_))
        return fail("the framebuffer object could not be created");
    return true;
}

bool QtGlSurface::makeFramebuffer(uint32_t width, uint32_t height) {
    if (width == 0 || height == 0 || !QOpenGLFramebufferObject::hasOpenGLFramebufferObjects())
        return false;
    auto framebuffer = std::make_unique<QOpenGLFramebufferObject>(
        int(width), int(height), QOpenGLFramebufferObject::CombinedDepthStencil);
    if (!framebuffer->isValid() || !framebuffer->bind()) {
        // The former buffer, if any, stays the one drawn on.
        if (framebuffer_) framebuffer_->bind();
        return false;
    }
    framebuffer_ = std::move(framebuffer);
    // A new buffer's pixels are undefined; it starts black, as the surface
    // does, whatever the guest draws on it next. The clear colour the
    // renderer set is kept.
    QOpenGLFunctions* gl = context_->functions();
    GLfloat clearColour[4] = {};
    gl->glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    gl->glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl->glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    width_ = width;
    height_ = height;
    return true;
}

bool QtGlSurface::resize(uint32_t width, uint32_t height) {
    if (!context_ || QOpenGLContext::currentContext() != context_.get()) return false;
    if (framebuffer_ && width == width_ && height == height_) return true;
    return makeFramebuffer(width, height);
}

void* QtGlSurface::procAddress(const char* name) {
    if (!context_) return nullptr;
    return reinterpret_cast<void*>(context_->getProcAddress(name));
}

void QtGlSurface::swapBuffers() {
    // The frame has been read back and shown; a size the window asked for
    // since is applied now, on this thread, before the next frame is drawn.
    // A window larger than any buffer worth reading back each frame is drawn
    // at most MAX_SIZE on a side and scaled up by the window.
    uint16_t width = 0, height = 0;
    if (window_ && window_->takeViewportRequest(width, height))
        setGlViewport(std::min(width, MAX_SIZE), std::min(height, MAX_SIZE));
}

void QtGlSurface::releaseCurrent() {
    if (!context_ || QOpenGLContext::currentContext() != context_.get()) return;
    // The framebuffer object can only go while its context is current, and
    // the context follows the thread it was made current on: it is handed
    // back to the user-interface thread, where destroyContext deletes it.
    framebuffer_.reset();
    context_->doneCurrent();
    if (QCoreApplication* app = QCoreApplication::instance()) context_->moveToThread(app->thread());
}

void QtGlSurface::destroyContext() {
    if (!context_) return;
    // The framebuffer object is freed while its context is current. A context
    // left current on an ended thread cannot be made current here; its
    // buffer is then left to go with the context.
    if (framebuffer_ && (QOpenGLContext::currentContext() == context_.get() ||
                         (context_->thread() == QThread::currentThread() &&
                          context_->makeCurrent(surface_.get())))) {
        framebuffer_.reset();
    } else {
        (void)framebuffer_.release();
    }
    if (QOpenGLContext::currentContext() == context_.get()) context_->doneCurrent();
    context_.reset();
}
