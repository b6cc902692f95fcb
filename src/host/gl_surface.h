// The host side of the OpenGL context: the surface the display-list renderer
// draws on for the output window. The GUI backs it with an offscreen context
// whose frames go to the output window; headless runs may have none.
#pragma once

class GlSurface {
  public:
    virtual ~GlSurface() = default;
    // Creates the rendering context and makes it current on the calling
    // thread; false when no context can be had.
    virtual bool createContext() = 0;
    // Releases the context; safe when none was created.
    virtual void destroyContext() = 0;
    // Hands the finished frame to the output window.
    virtual void swapBuffers() {}
};
