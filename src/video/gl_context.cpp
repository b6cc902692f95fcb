#include "video/gl_context.h"

#include "base/log.h"

GlContext theGlContext;
GlSurface* outputGlSurface = nullptr;

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
    theGlContext.renderContext = true;
}

void destroyGlContext() {
    if (theGlContext.renderContext && theGlContext.window) theGlContext.window->destroyContext();
    theGlContext.renderContext = false;
    theGlContext.window = nullptr;
}

void swapGlBuffers() {
    if (theGlContext.renderContext && theGlContext.window) theGlContext.window->swapBuffers();
}

void setGlViewport(uint16_t width, uint16_t height) {
    theGlContext.width = width;
    theGlContext.height = height;
}
