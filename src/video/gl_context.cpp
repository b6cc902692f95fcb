#include "video/gl_context.h"

#include <cstring>
#include <mutex>

#include "base/log.h"
#include "gfx/gl_api.h"
#include "video/frame_buffer_display.h"

GlContext theGlContext;
GlSurface* outputGlSurface = nullptr;

namespace {

void* lookUpInSurface(const char* name, void* surface) {
    return static_cast<GlSurface*>(surface)->procAddress(name);
}

bool onContextThread() {
    return theGlContext.renderContext.load() &&
           theGlContext.owner.load() == std::this_thread::get_id();
}

// Sets the viewport and the projection of the output window's view (a 30
// degree field of view, near and far planes at 1 and 100), leaving the
// projection matrix selected.
void applyViewport(uint16_t width, uint16_t height) {
    GlSurface* surface = theGlContext.window;
    if (width != 0 && height != 0 && !surface->resize(width, height))
        logLine("The OpenGL surface could not be made %ux%u", unsigned(width), unsigned(height));
    theGl.MatrixMode(GL_PROJECTION);
    theGl.LoadIdentity();
    // A height of 0 (a minimised window) would make the aspect ratio infinite.
    const double aspect = height != 0 ? double(width) / double(height) : 1.0;
    glPerspective(30.0, aspect, 1.0, 100.0);
    theGl.Viewport(0, 0, width, height);
}

// X8R8G8B8 pixels as 16-bit 5-6-5 or 5-5-5 screen pixels.
std::vector<uint16_t> toScreenPixels16(const std::vector<uint32_t>& frame, ScreenFormat format) {
    const bool sixGreenBits = format.greenMask == GREEN_MASK_565;
    std::vector<uint16_t> pixels(frame.size());
    for (size_t i = 0; i < frame.size(); ++i) {
        const uint32_t p = frame[i], r = (p >> 19) & 31, b = (p >> 3) & 31;
        pixels[i] = uint16_t(sixGreenBits ? r << 11 | ((p >> 10) & 63) << 5 | b
                                          : r << 10 | ((p >> 11) & 31) << 5 | b);
    }
    return pixels;
}

} // namespace

void createGlContext(GlSurface* window) {
    theGlContext.window = window;
    if (!window) {
        showMessage(0x10, "ChoosePixelFormat() failed!");
        return;
    }
    if (!window->createContext()) {
        showMessage(0x10, "wglCreateContext() failed!");
        return;
    }
    theGlContext.owner = std::this_thread::get_id();
    theGlContext.renderContext = true;
    theGlContext.framesSwapped = 0;
    const char* missing = nullptr;
    if (window->procAddress("glBegin") && !loadGlApi(lookUpInSurface, window, &missing))
        logLine("OpenGL has no %s; nothing will be drawn", missing);
    // The surface starts black; after this only the guest's commands draw.
    theGl.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    theGl.Clear(GL_COLOR_BUFFER_BIT);
    const uint16_t width = theGlContext.width, height = theGlContext.height;
    if (width != 0 && height != 0 && !window->resize(width, height))
        logLine("The OpenGL surface could not be made %ux%u", unsigned(width), unsigned(height));
    theGl.Viewport(0, 0, width, height);
    theGl.MatrixMode(GL_MODELVIEW);
}

void destroyGlContext() {
    if (theGlContext.renderContext && theGlContext.window) theGlContext.window->destroyContext();
    unloadGlApi();
    theGlContext.renderContext = false;
    theGlContext.window = nullptr;
    theGlContext.owner = std::thread::id{};
}

void releaseGlContextFromThread() {
    if (onContextThread()) theGlContext.window->releaseCurrent();
}

void swapGlBuffers() {
    if (!theGlContext.renderContext || !theGlContext.window) return;
    theGl.Flush();
    if (glApiLoaded()) {
        const uint32_t width = theGlContext.width, height = theGlContext.height;
        std::vector<uint32_t> pixels(size_t(width) * height);
        theGl.Finish();
        theGl.PixelStorei(GL_PACK_ALIGNMENT, 4);
        // Blue, green, red, alpha bytes: on this little-endian host each pixel
        // reads as one X8R8G8B8 word.
        theGl.ReadPixels(0, 0, GLsizei(width), GLsizei(height), GL_BGRA, GL_UNSIGNED_BYTE,
                         pixels.data());
        // OpenGL's rows run bottom to top; frames run top to bottom.
        std::vector<uint32_t>& frame = theGlContext.frame;
        frame.resize(pixels.size());
        for (uint32_t row = 0; row < height; ++row)
            std::memcpy(&frame[size_t(row) * width], &pixels[size_t(height - 1 - row) * width],
                        width * sizeof(uint32_t));
        theGlContext.frameWidth = width;
        theGlContext.frameHeight = height;
        FramePresenter* presenter = theFrameBufferDisplay.window;
        if (theFrameBufferDisplay.setUp && presenter) {
            // The frame goes out in the screen's format, as frame-buffer frames do.
            const ScreenFormat format = theFrameBufferDisplay.screenFormat;
            std::vector<uint16_t> narrow;
            FrameView view;
            view.width = width;
            view.height = height;
            view.format = format;
            if (format.bitsPerPixel == 16) {
                narrow = toScreenPixels16(frame, format);
                view.pixels = reinterpret_cast<const uint8_t*>(narrow.data());
                view.pitch = width * sizeof(uint16_t);
            } else {
                view.format.bitsPerPixel = 32;
                view.pixels = reinterpret_cast<const uint8_t*>(frame.data());
                view.pitch = width * sizeof(uint32_t);
            }
            FrameRect dest;
            {
                std::lock_guard lock(theFrameBufferDisplay.placementMutex);
                dest = theFrameBufferDisplay.destRect;
            }
            dest.right = dest.left + int32_t(width);
            dest.bottom = dest.top + int32_t(height);
            presenter->presentFrame(view, dest);
        }
    }
    ++theGlContext.framesSwapped;
    theGlContext.window->swapBuffers();
}

void setGlViewport(uint16_t width, uint16_t height) {
    theGlContext.width = width;
    theGlContext.height = height;
    if (onContextThread()) {
        theGlContext.viewportPending = false;
        applyViewport(width, height);
    } else {
        theGlContext.viewportPending = true;
    }
}

void applyPendingGlViewport() {
    if (!theGlContext.viewportPending.load(std::memory_order_relaxed) || !onContextThread()) return;
    theGlContext.viewportPending = false;
    applyViewport(theGlContext.width, theGlContext.height);
}
