// The OpenGL context of the output window. It is created on the first graphics
// task of a run, on the thread that runs the task, and destroyed at the stop.
#pragma once

#include <cstdint>

#include "host/gl_surface.h"

struct GlContext {
    // The surface the context was created for; null before.
    GlSurface* window = nullptr;
    // True while the surface holds a rendering context of ours.
    bool renderContext = false;
    // The viewport size.
    uint16_t width = 0;
    uint16_t height = 0;
};

extern GlContext theGlContext;

// The output window's surface, published by the emulation start for the first
// graphics task; null when the run has none.
extern GlSurface* outputGlSurface;

// Creates the rendering context on `window`. Without a surface, or when it
// cannot give a context, a message box tells so and the run goes on without
// OpenGL output.
void createGlContext(GlSurface* window);
// Releases the rendering context, if any, and forgets the surface.
void destroyGlContext();
// Shows the finished frame.
void swapGlBuffers();
// Records the viewport size (the projection follows it once drawing exists).
void setGlViewport(uint16_t width, uint16_t height);
