// The host side of the OpenGL context: the surface the display-list renderer
// draws on for the output window. The GUI backs it with an offscreen context
// whose frames go to the output window; headless runs use the offscreen
// surface of src/gfx/ or none.
#pragma once

#include <cstdint>

class GlSurface {
  public:
    virtual ~GlSurface() = default;
    // Creates the rendering context and makes it current on the calling
    // thread; false when no context can be had.
    virtual bool createContext() = 0;
    // Releases the context; safe when none was created.
    virtual void destroyContext() = 0;
    // Called after each finished frame has been read back and presented.
    virtual void swapBuffers() {}
    // The address of an OpenGL function of the current context; null when the
    // surface draws nothing (the renderer then calls nothing).
    virtual void* procAddress(const char* /*name*/) { return nullptr; }
    // Makes the drawing area width x height pixels; on the context's thread.
    // False when it keeps its former size.
    virtual bool resize(uint32_t /*width*/, uint32_t /*height*/) { return true; }
    // The thread that made the context current is about to end.
    virtual void releaseCurrent() {}
};
